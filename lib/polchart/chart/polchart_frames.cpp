#include "chart/polchart_frames.h"

#include <algorithm>

namespace znq {

namespace {
    // The cleanup of an image made over a buffer's pixels: it lets go of its hold on them.
    void release(void* pixels)
    {
        delete static_cast<std::shared_ptr<QImage>*>(pixels);
    }

    QImage over(const std::shared_ptr<QImage>& pixels, int32_t width, int32_t height)
    {
        return QImage(pixels->bits(), width, height, pixels->bytesPerLine(), QImage::Format_RGB32,
            release, new std::shared_ptr<QImage>(pixels));
    }

    // The chart image's size in device pixels.
    QSize chartSize(const TpcFrames::Geometry& g)
    {
        return { TBitmap::ScaledSize(g.ChartWidth, g.Scale),
            TBitmap::ScaledSize(g.ChartHeight, g.Scale) };
    }

    // Whether image is the image over the top-left pixels of the size.
    bool over(const QImage& image, const QImage& pixels, QSize size)
    {
        return image.constBits() == pixels.constBits() && image.size() == size;
    }
} // namespace

bool TpcFrames::imagesHeld(const TBitmap& chart, int i) const
{
    const Buffer& b = m_buffers[i];
    if (!b.Pixels)
        return false;
    const Geometry& g = b.Sizes;
    const QImage& image = i == m_current ? chart.Image() : b.Chart;
    // One hold of the buffer's own and one each of its frame and its chart image: any other
    // image made over the pixels is someone else's.
    return b.Pixels.use_count() == 3 && over(image, *b.Pixels, chartSize(g)) && image.isDetached()
        && (i != m_current
            || (chart.Width() == g.ChartWidth && chart.Height() == g.ChartHeight
                && chart.Scale() == g.Scale));
}

bool TpcFrames::make(int i, const Geometry& geometry)
{
    Buffer& b = m_buffers[i];
    b = Buffer {};
    const int32_t frameWidth = TBitmap::ScaledSize(geometry.FrameWidth, geometry.Scale);
    const int32_t frameHeight = TBitmap::ScaledSize(geometry.FrameHeight, geometry.Scale);
    const int32_t chartWidth = TBitmap::ScaledSize(geometry.ChartWidth, geometry.Scale);
    const int32_t chartHeight = TBitmap::ScaledSize(geometry.ChartHeight, geometry.Scale);
    if (frameWidth <= 0 || frameHeight <= 0 || chartWidth <= 0 || chartHeight <= 0)
        return false;
    auto pixels = std::make_shared<QImage>(
        std::max(frameWidth, chartWidth), std::max(frameHeight, chartHeight), QImage::Format_RGB32);
    if (pixels->isNull())
        return false;
    pixels->fill(0xFFFFFFFFu);
    b.Frame = over(pixels, frameWidth, frameHeight);
    b.Frame.setDevicePixelRatio(geometry.Scale);
    b.Chart = over(pixels, chartWidth, chartHeight);
    b.Pixels = std::move(pixels);
    b.Sizes = geometry;
    return true;
}

QImage* TpcFrames::Begin(TBitmap& chart, const Geometry& geometry)
{
    const auto fits = [&](int i) {
        const Buffer& b = m_buffers[i];
        return b.Sizes == geometry && imagesHeld(chart, i) && b.Frame.isDetached();
    };
    const int other = m_current == 0 ? 1 : 0;
    int target = other;
    if (m_current >= 0 && fits(m_current)) {
        target = m_current;
    } else if (!fits(other) && !make(other, geometry)) {
        // Chart lets go of a buffer that may be shown; the next paint of the geometry tries anew.
        chart.ExchangeImage(QImage(), 0, 0, geometry.Scale);
        m_current = -1;
        return nullptr;
    }
    if (target != m_current) {
        QImage previous = chart.ExchangeImage(std::move(m_buffers[target].Chart),
            geometry.ChartWidth, geometry.ChartHeight, geometry.Scale);
        if (m_current >= 0)
            m_buffers[m_current].Chart = std::move(previous);
        m_current = target;
    }
    return &m_buffers[target].Frame;
}

const QImage* TpcFrames::Current(const TBitmap& chart) const
{
    if (m_current < 0)
        return nullptr;
    const Buffer& b = m_buffers[m_current];
    return b.Pixels && over(chart.Image(), *b.Pixels, chartSize(b.Sizes)) ? &b.Frame : nullptr;
}

bool TpcFrames::HeldAlone(const TBitmap& chart, const QImage& backing)
{
    if (!Current(chart) || !imagesHeld(chart, m_current))
        return false;
    Buffer& b = m_buffers[m_current];
    if (backing.constBits() != b.Frame.constBits())
        return b.Frame.isDetached();
    // The backing shares the frame: it holds it alone once the frames let go of theirs.
    b.Frame = QImage();
    const bool alone = backing.isDetached();
    b.Frame = backing;
    return alone;
}

} // namespace znq
