"""End to end with a real assistive-technology client: the demonstration program is started on a
display with the accessibility bus, its accessible tree is walked over AT-SPI, the chart, the
two crosshair read-outs and the ray-angle field are found by role and name, 45 is typed into the
field through the editable-text interface, and the chart's description must change to rays every
45 degrees.
    e2e_a11y.py <program>
Run it under scripts/with-a11y-bus.sh, with Debian's python3 (which has pyatspi)."""
import subprocess
import sys
import time

import pyatspi


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def walk(node, depth=0):
    """Every accessible below node, node first."""
    yield node
    if depth > 40:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return None


def find_application(pid, seconds):
    """The program's accessible application, once it has registered on the bus."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return app
            except Exception:
                pass
        time.sleep(0.2)
    return None


def wait_for(condition, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(0.1)
    return condition()


def main():
    program = sys.argv[1]
    process = subprocess.Popen([program])
    try:
        app = find_application(process.pid, 20)
        if app is None:
            fail("the program did not appear on the accessibility bus")
        nodes = list(walk(app))
        print("accessibles: %d" % len(nodes))

        charts = [n for n in nodes if n.getRoleName() == "chart"]
        if len(charts) != 1:
            fail("%d charts" % len(charts))
        chart = charts[0]
        print("chart: %r, %r" % (chart.name, chart.description))
        if chart.name != "Polar chart":
            fail("the chart is named %r" % chart.name)
        if "rays every 30 degrees" not in chart.description:
            fail("the chart's description: %r" % chart.description)

        readouts = [n for n in nodes if n.getRoleName() == "label" and text_of(n) == "0.00"]
        names = sorted(n.name for n in readouts)
        print("read-outs showing 0.00: %s" % names)
        if names != ["Phi", "Rad"]:
            fail("the read-outs are %s" % names)

        fields = [n for n in nodes
                  if n.getRoleName() == "text" and n.name == "Angle between rays"]
        if len(fields) != 1:
            fail("%d fields named 'Angle between rays'" % len(fields))
        field = fields[0]
        if text_of(field) != "30":
            fail("the field holds %r" % text_of(field))
        if not field.queryEditableText().setTextContents("45"):
            fail("the field refused the text")
        if not wait_for(lambda: text_of(field) == "45", 5):
            fail("the field holds %r" % text_of(field))
        if not wait_for(lambda: "rays every 45 degrees" in chart.description, 5):
            fail("the chart's description did not change: %r" % chart.description)
        print("chart after typing 45: %r" % chart.description)
        print("PASS")
    finally:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()


if __name__ == "__main__":
    main()
