// Pictures out: the chart rendered at a scale into an image, which at scale 1 is the control's
// picture pixel for pixel and at larger scales is the same picture enlarged, sharp.
#include "../qt_messages.h"
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <tuple>
#include <vector>

using namespace znq;

namespace {

constexpr TColor background = 0xF4FCFF, border = 0xAA00AA;

// The demonstration-like diagram: grid and scales, data in every pen style, a label in each look
// and two crosshairs, one of each form.
void setUpDiagram(TPolChart& chart, TShadowStyle shadow)
{
    chart.SetAutoRedraw(false);
    chart.SetBounds(0, 0, 400, 360);
    chart.SetShadowWidth(6);
    chart.SetShadowStyle(shadow);
    chart.SetChartColor(background);
    chart.SetRangeHigh(10);
    chart.SetMagFactor(0.7);
    chart.SetGridStyleRadial(TpcGridStyleRad::gsRadBothMixed);
    chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertRight);
    for (int style = 0; style < 5; ++style) {
        chart.SetPenStyle(TPenStyle(style));
        chart.SetLineWidth(uint8_t(1 + style % 3));
        chart.SetDataColor(TColor(0x0000C0 + 0x2000 * style));
        chart.MoveTo(2 + style, 0);
        for (int i = 1; i <= 90; ++i)
            chart.DrawTo(2 + style + i / 60.0, i * 3.0);
    }
    for (int look = 1; look <= 4; ++look) {
        const int n = chart.AddTextLabel(clBlue, "Look " + std::to_string(look), 8, look * 80.0, 0);
        chart.TextLabel(n)->SetMode(TTxtLblMode(look));
        chart.TextLabel(n)->SetColorBorder(border);
        chart.TextLabel(n)->SetShadowDx(3);
        chart.TextLabel(n)->SetShadowDy(4);
    }
    chart.CrossHair1()->SetMode(TpcCrossHMode::chOrtho);
    chart.CrossHair1()->SetLineType(TPenStyle::psDash);
    chart.CrossHair1()->SetPosition(4, 30);
    chart.CrossHair2()->SetMode(TpcCrossHMode::chPolar);
    chart.CrossHair2()->SetLineWid(2);
    chart.CrossHair2()->SetPosition(6, 200);
    chart.show();
    chart.SetAutoRedraw(true);
    chart.Redraw();
}

QRect boundsOf(const QImage& image, TColor color)
{
    const QRgb rgb = ColorToRGB(color) | 0xFF000000u;
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | 0xFF000000u) == rgb)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

// At scale 1 the image is the control's picture, in both shadow styles, with every pen style,
// label look and crosshair form in it; rendering it changes nothing on the control.
TEST(ChartImage, ScaleOneIsTheControlsPicture)
{
    for (const TShadowStyle shadow : { TShadowStyle::ssFlying, TShadowStyle::ssBox }) {
        TPolChart chart;
        setUpDiagram(chart, shadow);
        const QImage shown = chart.BackingImage().copy();
        const int paints = TpcChartSeams::PaintCount(chart);
        const QImage image = chart.ToImage(1);
        EXPECT_EQ(image, shown) << "shadow style " << int(shadow);
        EXPECT_EQ(chart.BackingImage(), shown);
        EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints);
    }
    TPolChart chart;
    EXPECT_THROW(chart.ToImage(0.2), EZNQPolChartError);
    EXPECT_THROW(chart.ToImage(8.5), EZNQPolChartError);
    EXPECT_THROW(chart.ToImage(std::nan("")), EZNQPolChartError);
}

// At scale 2 everything is twice the size: the image, a one-pixel line's width, the outer circle,
// the text, and the label boxes around their anchors.
TEST(ChartImage, ScaleTwoEnlargesEverything)
{
    TPolChart chart;
    setUpDiagram(chart, TShadowStyle::ssFlying);
    chart.CrossHair1()->SetLineType(TPenStyle::psSolid);
    const QImage one = chart.ToImage(1), two = chart.ToImage(2);
    ASSERT_EQ(two.size(), one.size() * 2);

    // Crosshair 1's horizontal line near the right edge, where nothing else crosses: one row at
    // scale 1, two at scale 2.
    const TPoint centre = chart.PolarToPixel(0, 0);
    const int lineY = chart.PolarToPixel(4, 30).y;
    auto inkRows = [](const QImage& image, int x, int y0, int y1) {
        int rows = 0;
        for (int y = y0; y <= y1; ++y)
            rows += (image.pixel(x, y) | 0xFF000000u) != (ColorToRGB(background) | 0xFF000000u);
        return rows;
    };
    EXPECT_EQ(inkRows(one, 385, lineY - 5, lineY + 5), 1);
    EXPECT_EQ(inkRows(two, 770, 2 * lineY - 10, 2 * lineY + 10), 2);

    // The outer circle's leftmost pixel on the centre row.
    const int outer = chart.OuterRadius();
    auto leftEdge = [](const QImage& image, int y, int from) {
        for (int x = from; x >= 0; --x)
            if (image.pixel(x, y) != image.pixel(from, y))
                return x;
        return -1;
    };
    const int r1 = centre.x - leftEdge(one, centre.y - 3, centre.x - outer + 3);
    const int r2 = 2 * centre.x - leftEdge(two, 2 * centre.y - 6, 2 * centre.x - 2 * outer + 6);
    EXPECT_NEAR(r2, 2 * r1, 1.5);

    // The box of the label in the box look: twice as far from the origin, twice the size.
    const QRect box1 = boundsOf(one, border), box2 = boundsOf(two, border);
    ASSERT_FALSE(box1.isEmpty());
    EXPECT_NEAR(box2.left(), 2 * box1.left(), 2);
    EXPECT_NEAR(box2.top(), 2 * box1.top(), 2);
    EXPECT_NEAR(box2.width(), 2 * box1.width(), 3);
    EXPECT_NEAR(box2.height(), 2 * box1.height(), 3);

    // The label texts: their bluish pixels about twice as tall.
    auto bluish = [](const QImage& image) {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (qBlue(p) > 150 && qRed(p) < 110 && qGreen(p) < 110)
                    box |= QRect(x, y, 1, 1);
            }
        return box;
    };
    const QRect text1 = bluish(one), text2 = bluish(two);
    ASSERT_FALSE(text1.isEmpty());
    EXPECT_NEAR(double(text2.height()) / text1.height(), 2.0, 0.25);
}

namespace {

// A folder of its own for the files of one test, removed with everything in it.
struct Folder {
    QTemporaryDir dir;
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

// Whether each 8 x 8 block holds ink (a pixel far from the background): a coarse map of where
// the grid, the curves and the texts are.
std::vector<bool> inkMap(const QImage& image)
{
    const QRgb paper = ColorToRGB(background);
    std::vector<bool> map;
    for (int by = 0; by + 8 <= image.height(); by += 8)
        for (int bx = 0; bx + 8 <= image.width(); bx += 8) {
            bool ink = false;
            for (int y = by; y < by + 8 && !ink; ++y)
                for (int x = bx; x < bx + 8 && !ink; ++x) {
                    const QRgb p = image.pixel(x, y);
                    ink = std::abs(qRed(p) - qRed(paper)) + std::abs(qGreen(p) - qGreen(paper))
                            + std::abs(qBlue(p) - qBlue(paper))
                        > 120;
                }
            map.push_back(ink);
        }
    return map;
}

} // namespace

// The raster formats hold ToImage at the scale; the SVG is XML with the label texts as text; the
// PDF page, rendered by pdftoppm, has ink where the raster image has it.
TEST(ChartImage, SavedFilesInEveryFormat)
{
    TPolChart chart;
    setUpDiagram(chart, TShadowStyle::ssBox);
    Folder folder;
    chart.SaveImage(folder.path("chart.png"), 2);
    EXPECT_EQ(QImage(QString::fromStdString(folder.path("chart.png")))
                  .convertToFormat(QImage::Format_RGB32),
        chart.ToImage(2));
    for (const char* name : { "chart.jpg", "chart.bmp" }) {
        chart.SaveImage(folder.path(name), 0.5);
        EXPECT_EQ(QImage(QString::fromStdString(folder.path(name))).size(), QSize(200, 180))
            << name;
    }

    chart.SaveImage(folder.path("chart.svg"), 1.5);
    QFile svg(QString::fromStdString(folder.path("chart.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    QStringList texts;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    for (const char* label : { "Look 1", "Look 2", "Look 3", "Look 4", "10.00", "270" })
        EXPECT_TRUE(texts.contains(QString::fromLatin1(label))) << label;

    chart.SaveImage(folder.path("chart.pdf"));
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
            QStringLiteral("-singlefile"), QString::fromStdString(folder.path("chart.pdf")),
            QString::fromStdString(folder.path("page")) });
    ASSERT_TRUE(pdftoppm.waitForFinished(30000));
    ASSERT_EQ(pdftoppm.exitCode(), 0) << pdftoppm.readAllStandardError().toStdString();
    const QImage page = QImage(QString::fromStdString(folder.path("page.png")))
                            .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(page.size(), QSize(400, 360));
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
        { QString::fromStdString(folder.path("chart.pdf")), QStringLiteral("-") });
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString pageText = QString::fromUtf8(pdftotext.readAllStandardOutput());
    for (const char* label : { "Look 1", "Look 4", "10.00" })
        EXPECT_TRUE(pageText.contains(QString::fromLatin1(label))) << label << " in the PDF's text";
    const std::vector<bool> raster = inkMap(chart.ToImage(1)), vector = inkMap(page);
    int same = 0, inked = 0;
    for (size_t i = 0; i < raster.size(); ++i) {
        same += raster[i] == vector[i];
        inked += raster[i];
    }
    EXPECT_GT(inked, int(raster.size()) / 5) << "the raster image has its grid and curves";
    EXPECT_GT(double(same) / double(raster.size()), 0.9);
}

// Every failure raises the chart's error with the path, and leaves neither a file nor a part of
// one: an unknown suffix, a folder that does not exist, a full disk (on a small memory file
// system, where this machine lets the test mount one); a file already there stays as it was.
TEST(ChartImage, FailedSavesLeaveNoFile)
{
    TPolChart chart;
    setUpDiagram(chart, TShadowStyle::ssFlying);
    Folder folder;
    auto expectFailure = [&](const std::string& path, const char* reason) {
        try {
            chart.SaveImage(path, 4);
            ADD_FAILURE() << "no error for " << path;
        } catch (const EZNQPolChartError& error) {
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
        }
    };
    expectFailure(folder.path("chart.gif"), "unknown image format");
    expectFailure(folder.path("chart"), "unknown image format");
    expectFailure(folder.path("missing/chart.png"), "");
    EXPECT_TRUE(folder.files().isEmpty()) << folder.files().join(' ').toStdString();
    EXPECT_THROW(chart.SaveImage(folder.path("chart.png"), 9), EZNQPolChartError);

    const QString small = QString::fromStdString(folder.path("small"));
    QDir().mkpath(small);
    const QString mount = QStringLiteral("mount -t tmpfs -o size=64k tmpfs ") + small;
    if (std::system((mount + QStringLiteral(" 2>/dev/null")).toLocal8Bit().constData()) != 0)
        GTEST_SKIP() << "no file system of a small size can be mounted here";
    const std::string full = small.toStdString() + "/chart.png";
    {
        QFile old(QString::fromStdString(full));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    {
        // The encoder's own report of the full device, before the save's error.
        const testing_support::ExpectedQtMessage writeError("libpng error");
        expectFailure(full, "");
    }
    QFile old(QString::fromStdString(full));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
    old.close();
    EXPECT_EQ(QDir(small).entryList(QDir::Files | QDir::Hidden), QStringList { "chart.png" });
    EXPECT_EQ(std::system(("umount " + small.toStdString()).c_str()), 0);
}

// Whatever the texts, the SVG file is XML that a parser reads: the title from a Name with & and <,
// a font name with " and <, captions and scale labels with control characters, U+FFFE and a
// character beyond the 16-bit plane. They read back as the texts without what XML cannot hold.
TEST(ChartImage, SvgHoldsAnyTextAsWellFormedXml)
{
    TPolChart chart;
    setUpDiagram(chart, TShadowStyle::ssFlying);
    chart.SetName("R&D <chart>");
    const std::string odd = "a\x01"
                            "b\x1b"
                            "c\x0b"
                            "d\xef\xbf\xbe"
                            "e\xf0\x9f\x93\xa1&<>\"";
    chart.TextLabel(1)->SetCaption(odd);
    chart.TextLabel(2)->Font().SetName("Odd\"<font>&");
    chart.OnBeforeDrawScaleLabel
        = [](TObject*, TCanvas&, TpcScaleKind, std::string& text, int, int) { text += "\x07 dB"; };
    Folder folder;
    chart.SaveImage(folder.path("odd.svg"));
    QFile svg(QString::fromStdString(folder.path("odd.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    QStringList texts, families;
    QString title;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.attributes().hasAttribute(QLatin1String("font-family")))
            families << xml.attributes().value(QLatin1String("font-family")).toString();
        if (xml.name() == QLatin1String("title"))
            title = xml.readElementText();
        else if (xml.name() == QLatin1String("text"))
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                                 << xml.lineNumber();
    EXPECT_EQ(title, QStringLiteral("R&D <chart>"));
    EXPECT_TRUE(texts.contains(QString::fromUtf8("abcde\xf0\x9f\x93\xa1&<>\"")))
        << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("10.00 dB")));
    EXPECT_TRUE(families.contains(QStringLiteral("Odd\"<font>&")));
}

// A picture beyond the pixel limit is refused before anything is allocated; the empty picture of
// a chart without pixels is refused by every format and by the clipboard; a path with a NUL in it
// is refused, and no file is written under either part of it.
TEST(ChartImage, RefusedPictures)
{
    TPolChart chart;
    chart.SetBounds(0, 0, 4000, 4000);
    chart.show();
    EXPECT_THROW(chart.ToImage(8), EZNQPolChartError);
    EXPECT_THROW(chart.CopyImage(8), EZNQPolChartError);
    Folder folder;
    try {
        chart.SaveImage(folder.path("huge.png"), 8);
        ADD_FAILURE() << "no error for a huge PNG";
    } catch (const EZNQPolChartError& error) {
        EXPECT_NE(std::string(error.what()).find("huge.png"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("limit"), std::string::npos) << error.what();
    }

    for (const auto& [width, height, scale] :
        { std::tuple { 0, 0, 1.0 }, { 1, 1, 0.25 }, { 30, 0, 2.0 } }) {
        chart.SetBounds(0, 0, width, height);
        EXPECT_TRUE(chart.ToImage(scale).isNull());
        for (const char* name : { "empty.png", "empty.svg", "empty.pdf" }) {
            try {
                chart.SaveImage(folder.path(name), scale);
                ADD_FAILURE() << "no error for " << name << " at " << width << " x " << height;
            } catch (const EZNQPolChartError& error) {
                EXPECT_NE(std::string(error.what()).find("empty"), std::string::npos)
                    << error.what();
            }
        }
        EXPECT_THROW(chart.CopyImage(scale), EZNQPolChartError);
    }
    chart.SetBounds(0, 0, 50, 40);
    const std::string png = folder.path("t.png");
    EXPECT_THROW(chart.SaveImage(png + std::string(1, '\0') + ".svg"), EZNQPolChartError);
    EXPECT_TRUE(folder.files().isEmpty()) << folder.files().join(' ').toStdString();
}

#if !defined(__SANITIZE_ADDRESS__)
// With the address space limited to what one picture and some room need, a picture that needs
// one full image is made, and one that needs twice as much raises the chart's error instead of
// coming back empty. Run in a child process, where the limit harms nothing else.
TEST(ChartImageDeathTest, OneImageAtATimeAndFailedAllocationsRaise)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto run = [] {
        TPolChart chart;
        chart.SetBounds(0, 0, 2000, 2000);
        chart.SetRangeHigh(10);
        chart.show();
        chart.ToImage(0.25);
        const size_t picture = size_t(4000) * 4000 * 4;
        size_t pages = 0;
        FILE* statm = std::fopen("/proc/self/statm", "r");
        if (!statm || std::fscanf(statm, "%zu", &pages) != 1)
            std::_Exit(3);
        std::fclose(statm);
        const rlimit limit { pages * 4096 + picture * 3 / 2, RLIM_INFINITY };
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            std::_Exit(4);
        if (chart.ToImage(2).size() != QSize(4000, 4000))
            std::_Exit(5);
        try {
            chart.ToImage(2.9);
            std::_Exit(6);
        } catch (const EZNQPolChartError&) {
            std::_Exit(0);
        }
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}
#endif
