// Off-screen images with their own canvas.
#include "znq_graphics.h"
#include "znq_surface.h"

#include <algorithm>
#include <cmath>

namespace znq {

TBitmap::TBitmap()
    : m_canvas(&m_image)
{
}

TBitmap::TBitmap(int32_t width, int32_t height)
    : TBitmap()
{
    SetSize(width, height);
}

void TBitmap::SetSize(int32_t width, int32_t height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    allocate();
}

namespace {
    // A scale the canvas takes: within its limits, 1 for one that is not a number.
    double validScale(double scale)
    {
        return std::isfinite(scale) ? std::clamp(scale, TCanvas::MinScale, TCanvas::MaxScale) : 1.0;
    }
} // namespace

void TBitmap::SetScale(double scale)
{
    scale = validScale(scale);
    if (scale == m_scale)
        return;
    m_scale = scale;
    allocate();
}

int32_t TBitmap::ScaledSize(int32_t logical, double scale)
{
    return scale == 1.0 ? logical : SaturatedPixel(std::round(logical * scale));
}

QImage TBitmap::ExchangeImage(QImage image, int32_t width, int32_t height, double scale)
{
    m_canvas.EndPainting();
    std::swap(m_image, image);
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_scale = validScale(scale);
    m_canvas.SetScale(m_scale, m_width, m_height);
    return image;
}

void TBitmap::allocate()
{
    m_canvas.EndPainting();
    const int32_t width = ScaledSize(m_width, m_scale);
    const int32_t height = ScaledSize(m_height, m_scale);
    // An image with no pixels is null in Qt; the canvas clips everything against it.
    m_image = (width <= 0 || height <= 0) ? QImage() : QImage(width, height, QImage::Format_RGB32);
    if (!m_image.isNull())
        m_image.fill(0xFFFFFFFFu);
    m_canvas.SetScale(m_scale, m_width, m_height);
}

} // namespace znq
