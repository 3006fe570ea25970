#include "ZNQ_stringl.h"
#include "ZNQ_znqbase.h"

#include <cstdio>

int main()
{
    znq::TBitmap bitmap(8, 8);
    znq::DrawFrame(bitmap.Canvas(), znq::TFrameStyle::fsSimple, 0, 0, 7, 7, znq::clWhite,
        znq::clSilver, znq::clGray, znq::clBlack, znq::clRed);
    const bool ok
        = bitmap.Canvas().Pixel(7, 7) == znq::clRed && znq::FormatEngineering(3, 1000) == "1.00k";
    std::puts(ok ? "consumer ok" : "consumer FAILED");
    return ok ? 0 : 1;
}
