// Checks a screenshot of the demonstration window: the chart background, the silver grid with its
// centre, the red curve starting there, the blue text label in its navy frame with the silver
// shadow offset by (3, 6), and navy scale labels right of the chart.
//   screenshot_check <png>
// Prints what it found; exits 1 on the first failed check.
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QRect>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

int failures = 0;

void check(bool ok, const char* what)
{
    std::printf("%s: %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok)
        ++failures;
}

bool isRgb(QRgb pixel, int r, int g, int b)
{
    return qRed(pixel) == r && qGreen(pixel) == g && qBlue(pixel) == b;
}

QRect boundsOf(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test,
    int* count = nullptr)
{
    QRect box;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixel(x, y))) {
                box |= QRect(x, y, 1, 1);
                ++n;
            }
    if (count)
        *count = n;
    return box;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_check <png>\n");
        return 2;
    }
    QImage image(argv[1]);
    if (image.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    const QRect chart(0, 0, 624, 648);
    check(image.width() >= 883 && image.height() >= 648, "the window is 883 x 648");

    check(isRgb(image.pixel(20, 20), 0xFF, 0xFC, 0xF4), "chart background 0xF4FCFF at (20, 20)");

    auto silver = [](QRgb p) { return isRgb(p, 0xC0, 0xC0, 0xC0); };
    int silverCount = 0;
    const QRect grid = boundsOf(image, chart, silver, &silverCount);
    std::printf("silver pixels: %d in %d,%d %dx%d\n", silverCount, grid.x(), grid.y(), grid.width(),
        grid.height());
    check(silverCount > 1000, "a silver grid");
    // The outer circle is the tallest silver figure and reaches furthest left (the radial axis
    // stands to its right): its top, bottom and left give the centre.
    const int radius = grid.height() / 2;
    const int cx = grid.left() + radius, cy = grid.top() + radius;
    std::printf("grid centre: %d,%d\n", cx, cy);

    auto red = [](QRgb p) { return isRgb(p, 0xFF, 0x00, 0x00); };
    int redCount = 0;
    boundsOf(image, chart, red, &redCount);
    int nearCentre = 0;
    boundsOf(image, QRect(cx - 3, cy - 3, 7, 7), red, &nearCentre);
    std::printf("red pixels: %d, near the centre: %d\n", redCount, nearCentre);
    check(redCount > 100, "a red curve");
    check(nearCentre > 0, "the red curve starts at the centre");

    // The label's navy frame: the longest horizontal navy run left of the centre.
    auto navy = [](QRgb p) { return isRgb(p, 0x00, 0x00, 0x80); };
    int bestLength = 0, frameTop = -1, frameLeft = -1;
    for (int y = 0; y < 648; ++y) {
        int run = 0;
        for (int x = 0; x < cx; ++x) {
            run = navy(image.pixel(x, y)) ? run + 1 : 0;
            if (run > bestLength) {
                bestLength = run;
                frameTop = y;
                frameLeft = x - run + 1;
            }
        }
    }
    const int frameRight = frameLeft + bestLength - 1;
    int frameBottom = frameTop;
    while (frameBottom + 1 < 648 && navy(image.pixel(frameLeft, frameBottom + 1)))
        ++frameBottom;
    std::printf("label frame: %d,%d to %d,%d\n", frameLeft, frameTop, frameRight, frameBottom);
    check(bestLength > 60 && frameBottom - frameTop > 8, "a navy label frame left of the centre");
    check(frameLeft < cx && frameTop < cy,
        "the label stands up and left of the centre (210 degrees)");

    int blue = 0;
    boundsOf(
        image, QRect(frameLeft + 1, frameTop + 1, bestLength - 2, frameBottom - frameTop - 1),
        [](QRgb p) { return qBlue(p) > 180 && qRed(p) < 90 && qGreen(p) < 90; }, &blue);
    std::printf("blue text pixels in the label: %d\n", blue);
    check(blue > 15, "blue text in the label");

    // The shadow box: silver below the frame's bottom row down to 6 pixels lower, starting 3 to
    // the right of the frame's left edge and ending 3 right of its right edge.
    bool shadow = true;
    for (int y = frameBottom + 1; y <= frameBottom + 6; ++y) {
        shadow &= silver(image.pixel(frameLeft + 3, y)) && silver(image.pixel(frameRight + 3, y));
        shadow &= !silver(image.pixel(frameLeft + 2, y)) && !silver(image.pixel(frameRight + 4, y));
    }
    for (int x = frameRight + 1; x <= frameRight + 3; ++x)
        shadow &= silver(image.pixel(x, frameTop + 6)) && !silver(image.pixel(x, frameTop + 5));
    check(shadow, "the label's shadow is offset by (3, 6)");

    int navyRight = 0;
    boundsOf(
        image, QRect(cx + radius, 0, 624 - cx - radius, 648),
        [](QRgb p) { return qBlue(p) > 90 && qRed(p) < 70 && qGreen(p) < 70; }, &navyRight);
    std::printf("navy label pixels right of the chart: %d\n", navyRight);
    check(navyRight > 100, "navy scale labels at the right");

    return failures == 0 ? 0 : 1;
}
