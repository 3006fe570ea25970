// Pictures out: the chart as a raster image file, as vector drawing operations in SVG and PDF
// files, and on the clipboard.
#include "chart/polchart_rooms.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <cmath>

namespace znq {

// Two vector canvases over the one painter: the frame, and the chart image clipped to its place.
// Nothing is rasterised.
void TpcChartRooms::RenderVector(QPainter& painter, bool xml)
{
    const TpcRenderContext context = RenderContext();
    TCanvas frame(&painter, Chart.Width(), Chart.Height(), xml);
    frame.Pen().SetMode(TPenMode::pmCopy);
    frame.Brush().SetStyle(TBrushStyle::bsSolid);
    layers::Shadow(context, frame);

    TCanvas chart(&painter, ChartImageWidth(), ChartImageHeight(), xml);
    chart.Font().Assign(Chart.Font());
    painter.save();
    painter.setClipRect(QRectF(0, 0, ChartImageWidth(), ChartImageHeight()));
    Chart.RenderChart(chart);
    painter.restore();
    layers::CrossHairs(context, frame);
}

void TCustomPolChart::SaveImage(const std::string& path, double scale) const
{
    auto fail = [&](const QString& reason) {
        throw EZNQPolChartError(
            Name(), ": cannot save the image \"" + path + "\": " + reason.toStdString());
    };
    if (!(scale >= MinImageScale && scale <= MaxImageScale))
        fail(QStringLiteral("the scale must lie within 0.25 .. 8"));
    // A NUL ends the name for the file system but not for the suffix: no such path is taken.
    if (path.find('\0') != std::string::npos)
        fail(QStringLiteral("the path contains a NUL character"));
    const QSize size(TBitmap::ScaledSize(Width(), scale), TBitmap::ScaledSize(Height(), scale));
    if (size.isEmpty())
        fail(QStringLiteral("the picture is empty (%1 x %2 pixels)")
                 .arg(size.width())
                 .arg(size.height()));
    const QString file = QString::fromStdString(path);
    const QString suffix = QFileInfo(file).suffix().toLower();
    const bool vector = suffix == QLatin1String("svg") || suffix == QLatin1String("pdf");
    QByteArray format;
    if (suffix == QLatin1String("png") || suffix == QLatin1String("bmp"))
        format = suffix.toUpper().toLatin1();
    else if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        format = "JPG";
    else if (!vector)
        fail(
            QStringLiteral("unknown image format \"%1\" (use .png, .jpg, .bmp, .svg or .pdf)")
                .arg(suffix.isEmpty() ? QStringLiteral("(no suffix)") : QLatin1Char('.') + suffix));

    // Written beside the file and renamed onto it by commit; any failure discards the copy.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        fail(out.errorString());
    if (!vector) {
        const QImage image = rooms().RenderImage(
            scale, [&](const std::string& reason) { fail(QString::fromStdString(reason)); });
        QImageWriter writer(&out, format);
        if (!writer.write(image))
            fail(writer.errorString());
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&out);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        // The SVG writer writes the title as it comes: it is given escaped.
        svg.setTitle(XmlSafeText(QString::fromStdString(Name())).toHtmlEscaped());
        QPainter painter(&svg);
        painter.scale(scale, scale);
        rooms().RenderVector(painter, true);
        painter.end();
    } else {
        // One point per pixel at 72 dots per inch: the page is the picture's size.
        QPdfWriter pdf(&out);
        pdf.setResolution(72);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
        QPainter painter(&pdf);
        painter.scale(scale, scale);
        rooms().RenderVector(painter, false);
        painter.end();
    }
    if (out.error() != QFileDevice::NoError)
        fail(out.errorString());
    if (!out.commit())
        fail(out.errorString());
}

void TCustomPolChart::CopyImage(double scale) const
{
    const QImage image = ToImage(scale);
    if (image.isNull())
        throw EZNQPolChartError(Name(), ": cannot copy the image: the picture is empty");
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setImage(image);
}

} // namespace znq
