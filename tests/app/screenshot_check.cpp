// Checks a screenshot of the demonstration window: the chart background, the silver grid with its
// centre, the red curve starting there, the blue text label in its navy frame with the silver
// shadow offset by (3, 6), and navy scale labels right of the chart.
//   screenshot_check <png>              prints what it found; exits 1 when a check failed
//   screenshot_check --measure <png>    prints "CX CY RADIUS LEFT TOP RIGHT BOTTOM": the grid's
//                                       centre and outer radius, the text label's frame
//   screenshot_check --rows <png>       prints the middle y of every band of rows holding dark
//                                       pixels, one per line (the items of a menu)
//   screenshot_check --spiral <png>     prints how often a ray from the grid centre crosses the
//                                       red curve, for eight rays 45 degrees apart, then the sum
//   screenshot_check --rays <png>       prints the number of grid rays: silver clusters by angle
//                                       in the ring between the outer two circles
//   screenshot_check --thumb <png> <x0> <x1> <y>
//                                       prints the middle x of a scroll bar's thumb, the longest
//                                       run of its lightest colour along row y from x0 to x1
//   screenshot_check --crosshair <png> <x> <y>
//                                       prints the black pixels of column x and of row y within
//                                       the chart
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QRect>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

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

const QRect chart(0, 0, 624, 648);

bool silver(QRgb p)
{
    return isRgb(p, 0xC0, 0xC0, 0xC0);
}

bool navy(QRgb p)
{
    return isRgb(p, 0x00, 0x00, 0x80);
}

// The outer circle is the tallest silver figure and reaches furthest left (the radial axis stands
// to its right): its top, bottom and left give the centre.
struct Grid {
    int count = 0;
    QRect bounds;
    int radius = 0, cx = 0, cy = 0;
};

Grid findGrid(const QImage& image)
{
    Grid grid;
    grid.bounds = boundsOf(image, chart, silver, &grid.count);
    grid.radius = grid.bounds.height() / 2;
    grid.cx = grid.bounds.left() + grid.radius;
    grid.cy = grid.bounds.top() + grid.radius;
    return grid;
}

// The label's navy frame: the longest horizontal navy run left of xLimit, and the navy column
// down from its left end.
QRect findLabelFrame(const QImage& image, int xLimit)
{
    int bestLength = 0, frameTop = -1, frameLeft = -1;
    for (int y = 0; y < chart.height(); ++y) {
        int run = 0;
        for (int x = 0; x < xLimit; ++x) {
            run = navy(image.pixel(x, y)) ? run + 1 : 0;
            if (run > bestLength) {
                bestLength = run;
                frameTop = y;
                frameLeft = x - run + 1;
            }
        }
    }
    if (bestLength == 0)
        return QRect();
    int frameBottom = frameTop;
    while (frameBottom + 1 < chart.height() && navy(image.pixel(frameLeft, frameBottom + 1)))
        ++frameBottom;
    return QRect(QPoint(frameLeft, frameTop), QPoint(frameLeft + bestLength - 1, frameBottom));
}

int measure(const QImage& image)
{
    const Grid grid = findGrid(image);
    const QRect frame = findLabelFrame(image, chart.width());
    std::printf("%d %d %d %d %d %d %d\n", grid.cx, grid.cy, grid.radius, frame.left(), frame.top(),
        frame.right(), frame.bottom());
    return 0;
}

int rows(const QImage& image)
{
    const QRect all = image.rect();
    int bandStart = -1;
    for (int y = 0; y <= all.height(); ++y) {
        int dark = 0;
        if (y < all.height())
            boundsOf(
                image, QRect(0, y, all.width(), 1), [](QRgb p) { return qGray(p) < 100; }, &dark);
        if (dark > 0 && bandStart < 0)
            bandStart = y;
        if (dark == 0 && bandStart >= 0) {
            std::printf("%d\n", (bandStart + y - 1) / 2);
            bandStart = -1;
        }
    }
    return 0;
}

bool red(QRgb p)
{
    return isRgb(p, 0xFF, 0x00, 0x00);
}

int spiral(const QImage& image)
{
    const Grid grid = findGrid(image);
    int total = 0;
    for (int k = 0; k < 8; ++k) {
        const double angle = k * 3.141592653589793 / 4;
        int crossings = 0;
        bool inside = false;
        for (int r = 5; r <= grid.radius + 5; ++r) {
            const int x = grid.cx + int(std::lround(r * std::cos(angle)));
            const int y = grid.cy - int(std::lround(r * std::sin(angle)));
            // A curve crossed at a slant covers a pixel or two to either side of the ray.
            bool hit = false;
            for (int d = -1; d <= 1 && !hit; ++d)
                hit = red(image.pixel(x + d, y)) || red(image.pixel(x, y + d));
            if (hit && !inside)
                ++crossings;
            inside = hit;
        }
        std::printf("%d ", crossings);
        total += crossings;
    }
    std::printf("%d\n", total);
    return 0;
}

int rays(const QImage& image)
{
    const Grid grid = findGrid(image);
    std::vector<bool> silverAt(360, false);
    for (int y = grid.cy - grid.radius; y <= grid.cy + grid.radius; ++y)
        for (int x = grid.cx - grid.radius; x <= grid.cx + grid.radius; ++x) {
            const double r = std::hypot(x - grid.cx, y - grid.cy);
            if (r < 0.85 * grid.radius || r > 0.95 * grid.radius || !silver(image.pixel(x, y)))
                continue;
            double degrees = std::atan2(grid.cy - y, x - grid.cx) * 180 / 3.141592653589793;
            if (degrees < 0)
                degrees += 360;
            silverAt[size_t(int(degrees) % 360)] = true;
        }
    // Clusters of neighbouring degrees, the last joined to the first across 0.
    int clusters = 0;
    for (size_t i = 0; i < 360; ++i)
        if (silverAt[i] && !silverAt[(i + 359) % 360])
            ++clusters;
    if (clusters == 0 && silverAt[0])
        clusters = 1;
    std::printf("%d\n", clusters);
    return 0;
}

int thumb(const QImage& image, int x0, int x1, int y)
{
    int lightest = 0;
    for (int x = x0; x <= x1; ++x)
        lightest = std::max(lightest, qGray(image.pixel(x, y)));
    int best = 0, bestEnd = x0, run = 0;
    for (int x = x0; x <= x1; ++x) {
        run = qGray(image.pixel(x, y)) >= lightest - 2 ? run + 1 : 0;
        if (run > best) {
            best = run;
            bestEnd = x;
        }
    }
    std::printf("%d\n", bestEnd - best / 2);
    return 0;
}

int crosshair(const QImage& image, int x, int y)
{
    auto black = [](QRgb p) { return isRgb(p, 0, 0, 0); };
    int column = 0, row = 0;
    boundsOf(image, QRect(x, 0, 1, chart.height()), black, &column);
    boundsOf(image, QRect(0, y, chart.width(), 1), black, &row);
    std::printf("%d %d\n", column, row);
    return 0;
}

// The red pixel nearest to (x, y) within 30 pixels along either axis: "X Y D", D the larger of the
// two distances; "-1 -1 -1" when there is none.
int nearestRed(const QImage& image, int x, int y)
{
    int bestX = -1, bestY = -1, best = -1;
    for (int dy = -30; dy <= 30; ++dy)
        for (int dx = -30; dx <= 30; ++dx) {
            const int d = std::max(std::abs(dx), std::abs(dy));
            if (!image.valid(x + dx, y + dy) || !red(image.pixel(x + dx, y + dy))
                || (best >= 0 && d >= best))
                continue;
            bestX = x + dx;
            bestY = y + dy;
            best = d;
        }
    std::printf("%d %d %d\n", bestX, bestY, best);
    return 0;
}

// At twice the size: the window's size, then the thickness of the outer (solid silver) circle
// where it runs vertically (its leftmost point) and horizontally (its top), whether the pixels just
// outside both runs are the chart's background, with no blended edge, and the 2 x 2 pixel blocks
// of the chart that are not of one colour: "W H LEFT TOP CLEAN MIXED".
int thickness(const QImage& image)
{
    const QRect area(0, 0, std::min(image.width(), 2 * chart.width()),
        std::min(image.height(), 2 * chart.height()));
    const QRect bounds = boundsOf(image, area, silver);
    const auto background = [](QRgb p) { return isRgb(p, 0xFF, 0xFC, 0xF4); };
    // The middle of the first silver run of the top row (the radial axis' ticks may follow it) and
    // of the left column.
    const QRect topRow = boundsOf(image, QRect(area.left(), bounds.top(), area.width(), 1), silver);
    int run = 0;
    while (silver(image.pixel(topRow.left() + run, bounds.top())))
        ++run;
    const QRect leftColumn
        = boundsOf(image, QRect(bounds.left(), area.top(), 1, area.height()), silver);
    const int cx = topRow.left() + run / 2, cy = leftColumn.top() + leftColumn.height() / 2;
    int left = 0, top = 0;
    while (silver(image.pixel(bounds.left() + left, cy)))
        ++left;
    while (silver(image.pixel(cx, bounds.top() + top)))
        ++top;
    const bool clean = background(image.pixel(bounds.left() - 1, cy))
        && background(image.pixel(bounds.left() + left, cy))
        && background(image.pixel(cx, bounds.top() - 1))
        && background(image.pixel(cx, bounds.top() + top));
    // A picture drawn at the logical size and enlarged would repeat each pixel in a 2 x 2 block;
    // drawn at the device's resolution, edges fall inside blocks too.
    int mixed = 0;
    for (int y = 0; y + 1 < area.height(); y += 2)
        for (int x = 0; x + 1 < area.width(); x += 2) {
            const QRgb p = image.pixel(x, y);
            mixed += image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p
                || image.pixel(x + 1, y + 1) != p;
        }
    std::printf(
        "%d %d %d %d %d %d\n", image.width(), image.height(), left, top, clean ? 1 : 0, mixed);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const std::string mode = argc > 2 ? argv[1] : "";
    const int arguments = mode == "--thumb"                ? 6
        : mode == "--crosshair" || mode == "--nearest-red" ? 5
        : mode.empty()                                     ? 2
                                                           : 3;
    if (argc != arguments) {
        std::fprintf(stderr,
            "usage: screenshot_check [--measure | --rows | --spiral | --rays | --thickness] <png>\n"
            "       screenshot_check --thumb <png> <x0> <x1> <y>\n"
            "       screenshot_check --crosshair <png> <x> <y>\n"
            "       screenshot_check --nearest-red <png> <x> <y>\n");
        return 2;
    }
    const char* path = mode.empty() ? argv[1] : argv[2];
    QImage image(path);
    if (image.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return 2;
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    if (mode == "--measure")
        return measure(image);
    if (mode == "--rows")
        return rows(image);
    if (mode == "--spiral")
        return spiral(image);
    if (mode == "--rays")
        return rays(image);
    if (mode == "--thickness")
        return thickness(image);
    if (mode == "--thumb")
        return thumb(image, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    if (mode == "--crosshair")
        return crosshair(image, std::atoi(argv[3]), std::atoi(argv[4]));
    if (mode == "--nearest-red")
        return nearestRed(image, std::atoi(argv[3]), std::atoi(argv[4]));
    if (!mode.empty()) {
        std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
        return 2;
    }
    check(image.width() >= 883 && image.height() >= 648, "the window is 883 x 648");

    check(isRgb(image.pixel(20, 20), 0xFF, 0xFC, 0xF4), "chart background 0xF4FCFF at (20, 20)");

    const Grid grid = findGrid(image);
    std::printf("silver pixels: %d in %d,%d %dx%d\n", grid.count, grid.bounds.x(), grid.bounds.y(),
        grid.bounds.width(), grid.bounds.height());
    check(grid.count > 1000, "a silver grid");
    const int radius = grid.radius, cx = grid.cx, cy = grid.cy;
    std::printf("grid centre: %d,%d\n", cx, cy);

    auto red = [](QRgb p) { return isRgb(p, 0xFF, 0x00, 0x00); };
    int redCount = 0;
    boundsOf(image, chart, red, &redCount);
    int nearCentre = 0;
    boundsOf(image, QRect(cx - 3, cy - 3, 7, 7), red, &nearCentre);
    std::printf("red pixels: %d, near the centre: %d\n", redCount, nearCentre);
    check(redCount > 100, "a red curve");
    check(nearCentre > 0, "the red curve starts at the centre");

    const QRect frame = findLabelFrame(image, cx);
    const int frameLeft = frame.left(), frameTop = frame.top(), frameRight = frame.right(),
              frameBottom = frame.bottom(), bestLength = frame.width();
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
