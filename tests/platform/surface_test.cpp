// The canvas over its two surfaces, driven by random sequences of primitives at random scales:
// the raster surface gives exactly the pixels the canvas has always given (fingerprints of the
// pictures taken before the surfaces were split off), and the vector surface receives the same
// elements at every scale; fills and bitmaps with an opacity blend exactly on the one and with
// real transparency on the other.
#include "znq_graphics.h"

#include "../odd_even.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

using namespace znq;

namespace {

constexpr int logicalWidth = 64, logicalHeight = 48;

// A sequence of primitives with random pens, brushes and coordinates, mostly in and around the
// picture, now and then far outside it. Text is left out where pixels are compared: glyphs differ
// between machines.
void drawRandom(TCanvas& canvas, unsigned seed, bool withText)
{
    std::mt19937 random(seed);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    auto coordinate = [&](int extent) {
        if (pick(20) == 0)
            return pick(2) ? 1000000 - pick(100) : -1000000 + pick(100);
        return pick(extent + 40) - 20;
    };
    auto point = [&] { return TPoint { coordinate(logicalWidth), coordinate(logicalHeight) }; };
    TBitmap stamp(7, 5);
    stamp.Canvas().Brush().SetColor(0x3060C0);
    stamp.Canvas().FillRect(Rect(1, 1, 6, 4));
    for (int op = 0; op < 24; ++op) {
        TPen& pen = canvas.Pen();
        pen.SetColor(TColor(random() & 0xFFFFFF));
        pen.SetStyle(TPenStyle(pick(6)));
        pen.SetWidth(pick(3) == 0 ? 1 + pick(7) : 1);
        pen.SetMode(pick(5) == 0 ? TPenMode::pmXor : TPenMode::pmCopy);
        canvas.Brush().SetColor(TColor(random() & 0xFFFFFF));
        if (pick(3) == 0)
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
        switch (pick(withText ? 10 : 9)) {
        case 0: {
            const TPoint p = point();
            canvas.MoveTo(p.x, p.y);
            break;
        }
        case 1: {
            const TPoint p = point();
            canvas.LineTo(p.x, p.y);
            break;
        }
        case 2:
        case 3: {
            std::vector<TPoint> points(size_t(1 + pick(7)));
            for (TPoint& p : points)
                p = point();
            if (pick(2))
                canvas.Polyline(points);
            else
                canvas.Polygon(points);
            break;
        }
        case 4: {
            const TPoint a = point(), b = point();
            canvas.Rectangle(a.x, a.y, b.x, b.y);
            break;
        }
        case 5: {
            const TPoint a = point(), b = point();
            canvas.Ellipse(a.x, a.y, b.x, b.y);
            break;
        }
        case 6: {
            const TPoint a = point(), b = point();
            canvas.FillRect(Rect(a.x, a.y, b.x, b.y));
            break;
        }
        case 7: {
            const TPoint a = point();
            canvas.SetCopyMode(pick(2) ? TCopyMode::cmSrcCopy : TCopyMode::cmSrcAnd);
            canvas.Draw(a.x, a.y, stamp);
            break;
        }
        case 8: {
            // A small figure well inside, so that every sequence draws something visible.
            const TPoint a { 4 + pick(40), 4 + pick(30) };
            canvas.Ellipse(a.x, a.y, a.x + 3 + pick(12), a.y + 3 + pick(12));
            break;
        }
        case 9: {
            const TPoint a = point();
            canvas.TextOut(a.x, a.y, "Ab 12");
            break;
        }
        }
    }
}

// FNV-1a over the pixels' colours.
uint64_t fingerprint(const QImage& image)
{
    uint64_t hash = 1469598103934665603u;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const uint32_t rgb = line[x] & 0x00FFFFFFu;
            for (int shift = 0; shift < 32; shift += 8) {
                hash ^= (rgb >> shift) & 0xFF;
                hash *= 1099511628211u;
            }
        }
    }
    return hash;
}

// A paint engine that writes down the kind of each element it receives: L line, P polyline,
// G polygon, R rectangle, E ellipse, A path, I image, T text.
class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine()
        : QPaintEngine(AllFeatures)
    {
    }
    std::string kinds;
    // The painter's opacity when each element came.
    std::vector<double> opacities;
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& changed) override
    {
        if (changed.state() & DirtyOpacity)
            m_opacity = changed.opacity();
    }
    void drawLines(const QLineF*, int count) override { kinds.append(size_t(count), 'L'); }
    void drawLines(const QLine*, int count) override { kinds.append(size_t(count), 'L'); }
    void drawRects(const QRectF*, int count) override { kinds.append(size_t(count), 'R'); }
    void drawRects(const QRect*, int count) override { kinds.append(size_t(count), 'R'); }
    void drawEllipse(const QRectF&) override { kinds += 'E'; }
    void drawEllipse(const QRect&) override { kinds += 'E'; }
    void drawPolygon(const QPointF*, int, PolygonDrawMode mode) override
    {
        kinds += mode == PolylineMode ? 'P' : 'G';
        opacities.push_back(m_opacity);
    }
    void drawPolygon(const QPoint*, int, PolygonDrawMode mode) override
    {
        kinds += mode == PolylineMode ? 'P' : 'G';
    }
    void drawPath(const QPainterPath&) override { kinds += 'A'; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { kinds += 'I'; }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override
    {
        kinds += 'I';
        opacities.push_back(m_opacity);
    }
    void drawTextItem(const QPointF&, const QTextItem&) override { kinds += 'T'; }
    Type type() const override { return User; }

private:
    double m_opacity = 1;
};

class RecordingDevice : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &m_engine; }
    const std::string& kinds() const { return m_engine.kinds; }
    const std::vector<double>& opacities() const { return m_engine.opacities; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
        case PdmWidthMM:
        case PdmHeightMM:
            return 1000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return 0x7FFFFFFF;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    mutable RecordingEngine m_engine;
};

constexpr double scales[] = { 1, 0.25, 0.5, 1.5, 2, 3, 8 };
constexpr unsigned sequenceCount = 40;

uint64_t rasterFingerprint(unsigned seed, double scale)
{
    TBitmap bitmap;
    bitmap.SetScale(scale);
    bitmap.SetSize(logicalWidth, logicalHeight);
    drawRandom(bitmap.Canvas(), seed, false);
    return fingerprint(bitmap.Image());
}

// The kinds of the elements a vector canvas at a scale hands its painter for a sequence, text
// included.
std::string vectorKinds(unsigned seed, double scale)
{
    RecordingDevice device;
    QPainter painter(&device);
    TCanvas canvas(&painter, logicalWidth, logicalHeight);
    canvas.SetScale(scale, logicalWidth, logicalHeight);
    drawRandom(canvas, seed, true);
    painter.end();
    return device.kinds();
}

// The pictures of the canvas as it was before the surfaces: one row per sequence, one column per
// scale.
constexpr uint64_t referencePictures[sequenceCount][std::size(scales)] = {
    {
        0x1fff85127fa6d851u,
        0x69497b9fe6ed98bfu,
        0xdfe6ceef1043f933u,
        0x1c27921adfe4bd7du,
        0x103fe898e5c41dcu,
        0x2c0021227f20771du,
        0x113efad2accaec01u,
    },
    {
        0x5ba27aca8371d796u,
        0x77deeb6ec9bab847u,
        0xa032c3c6078b8c4u,
        0xfb098df604ca5f80u,
        0xd1062311ba47fd55u,
        0x22191031e2269a75u,
        0xea0c51fbed36c5eu,
    },
    {
        0x7d4a4eb05061bee6u,
        0xfdc018c6bd53e38du,
        0x4bcdc20e3f94a89fu,
        0xe68e14343b7ef14du,
        0xa46d274667b579adu,
        0x700d9b2408ad6449u,
        0x2482b008baff93beu,
    },
    {
        0x8413f2e993199766u,
        0x8ddbffa1915b39d3u,
        0x36a048b2bb3188cau,
        0xe7e9d70108657264u,
        0x626708287b2fdaf3u,
        0x3fd8507cd81a1d2du,
        0xf8c75d63ffd4659cu,
    },
    {
        0x6417131e774d9895u,
        0x168cff3930cc37d5u,
        0x3762aac3075206c1u,
        0x47cf17922a7ea3a8u,
        0xe6ce589eb91d75bu,
        0x960b40013b95945eu,
        0x41e0a03097f7e485u,
    },
    {
        0x742dfbaca84ea336u,
        0x1a568f0405902b76u,
        0x77aa64892a80e511u,
        0xbd4821f8bd560485u,
        0xfe7834e30e0df16au,
        0x60f84ae7bc5a5eu,
        0x3ceca1138d0d8e94u,
    },
    {
        0x626181467f978321u,
        0xf5c6d0432da44450u,
        0x227538cd2f29bd71u,
        0x9848c7cf060dccf0u,
        0x16c0c64620080e3au,
        0xfa389d649c7678bfu,
        0xc4f7abced1820caau,
    },
    {
        0x807b995604da0cdbu,
        0xfac5b22214e0992au,
        0x650e1a86db024967u,
        0xd8f2e50cc4fc479cu,
        0x236f845c1787a50bu,
        0xc8fe439628394930u,
        0xac3f5574a0a2d825u,
    },
    {
        0x22f4f62c781e2f84u,
        0x68f14ce7befe6c54u,
        0x5b9f17c4ae54be83u,
        0x67be80a169a1f8efu,
        0xf77043dae3832821u,
        0x52fc92f17d7a5d29u,
        0x21c539e89dbecf8u,
    },
    {
        0x3a8a324aba5ba178u,
        0x8a3f1f58c4c9dd5u,
        0xff77e53030e5967u,
        0x9e75a2aa94a21ee5u,
        0x774d4661a52f1b32u,
        0x80d7d9d9b12aea88u,
        0x82a2c99931f34428u,
    },
    {
        0x51ef61daef8ceb0du,
        0x97c60583b696550au,
        0x7c5e56c2fc4c0e48u,
        0x8a23fbe7ba9e97eu,
        0xf268cdd2c05ce839u,
        0x4fdf05e947267e5cu,
        0x6a45e603f6cb9eddu,
    },
    {
        0x59e008df31d0ff5u,
        0xf392aa899fb87507u,
        0x9c329c63a963fcd5u,
        0x29be1360ab1d3ca4u,
        0x1e9751193642aad8u,
        0x95a0dfb457fe6aa5u,
        0x6fef0f277b62d51cu,
    },
    {
        0xfd297b55a9b7f85du,
        0x8d7a1ce8af43fb92u,
        0x5016d7a6dc70f11u,
        0xfa6e6230223d784au,
        0xb0c955cc0245ca51u,
        0x40cc6b4d3939626du,
        0x7d9728914d9c48e3u,
    },
    {
        0xb542dbd2c9300b71u,
        0x3bd014c764225bau,
        0xe490bfc2c1d6f078u,
        0x72c0327e8640b55fu,
        0xe8fc0f9453b7a0c3u,
        0x795845449b48491au,
        0x6a6b1ff6c3fbb0e5u,
    },
    {
        0xb2c7f97bb742f265u,
        0x498ddae3af10dc63u,
        0x21bbb594e48aaaefu,
        0xc3252721f5f7ab76u,
        0x7f68b4824f0f3719u,
        0xae1252ec01aab736u,
        0xa7db7c554f953640u,
    },
    {
        0x5f20423042ccf2f6u,
        0xa7f8f4af044b3ea0u,
        0x60cb4d99ee350001u,
        0xc9b572fae958d3c9u,
        0xdca8588398a17000u,
        0xf7d5e9e0d5b3b7f7u,
        0xbbe63f42914e914u,
    },
    {
        0x912861cd3bdf6445u,
        0x4be2c40871b85922u,
        0xdc88fa32e443fc29u,
        0x228da1049d59d109u,
        0xb4074bbde929e3b2u,
        0xd1ac86878b4f0e84u,
        0xa43695a1390962d6u,
    },
    {
        0xa2e4dc72b100c1abu,
        0xa8fe5b0834a137c8u,
        0x9e3bb33a74f9d6cu,
        0x1edd634c63036513u,
        0x223845844fdeb066u,
        0x910e19a10066effeu,
        0xbc5b3dda7a377c5bu,
    },
    {
        0x8ae0700ee564a520u,
        0xd03d4e1051990022u,
        0x71a66ed611fce040u,
        0xedb985290ff05c92u,
        0xe60240916c0d72c7u,
        0xc70db0067076b870u,
        0xeb2e0cd2b394035bu,
    },
    {
        0x225f0fa9703d7e61u,
        0xbad75701f1a84a1du,
        0x89fee35ac5804f18u,
        0x9449f30dda4546c7u,
        0x2168911ccd70e927u,
        0x68efa08eb2af49f4u,
        0xca640feb0eb0001eu,
    },
    {
        0xae96385ad19ee78fu,
        0xdc858df14c850331u,
        0xf18e8b6990cbd8au,
        0x39efec59901af02eu,
        0xf7c243ee3121f87du,
        0x494550da31522ab5u,
        0x94fdf1e3f98934c4u,
    },
    {
        0xe973930dda687df4u,
        0x2a2488318be5f147u,
        0x23fe4071e4948fc6u,
        0x4d901a4d2ed297d9u,
        0x6556e79c4b6d16e3u,
        0xcb46e89c397a93acu,
        0x5d0d2aca02c4e323u,
    },
    {
        0xe0265503094e2c88u,
        0x8ae678258b171f01u,
        0x5e87bcaa7e167985u,
        0xe2b0d2aac5a9f8ecu,
        0xb64c01af1edf05fu,
        0x7c1f088dbd079bfbu,
        0xc7bed0a003ac275u,
    },
    {
        0xe088edee926b84e1u,
        0xade95a6a5140829du,
        0x83d927e2418ae721u,
        0xe0247f8bd961b473u,
        0x76b4246a2185986cu,
        0x61c7bcc6511c7ce7u,
        0x539c3be7b0d59916u,
    },
    {
        0x5ac21c6fa9d35c6du,
        0xfa06c73c3bfb8851u,
        0x467598541095a323u,
        0x3dfc3940d9f2cf0cu,
        0x4191fdb68a4baff1u,
        0xeea2eeeb1bba439du,
        0x95e53c662d8806e8u,
    },
    {
        0xe7bc57397fb8c23du,
        0x600c3477360eff6cu,
        0x1b5441b7c5fc6030u,
        0x9106e8b639dc576u,
        0xe252e5aa35a064e2u,
        0x45c9721f88c3bb98u,
        0xc613ddbe9d3e5e7bu,
    },
    {
        0xe66d4f0abdb05ae2u,
        0x193d8cbedaab8713u,
        0x5b7049ded5f15ff2u,
        0x13f68fc1141b15du,
        0x4846e8137585ff96u,
        0xda9732d5d09dbd7au,
        0x47fd4f786f323977u,
    },
    {
        0xde5eab6852a6af00u,
        0x1b135030f1f15275u,
        0x2587732d6eee7343u,
        0x66e837a58a8c54c0u,
        0xc8fd4fc53e25d26au,
        0x3ad15803cff50b08u,
        0xfe6273054b5a7c44u,
    },
    {
        0xa505da98618bbc6fu,
        0x2538ac79204aa125u,
        0x54ec0de491baa7b0u,
        0x2ae74ec01869ee46u,
        0xca37afca14afedc6u,
        0x7187eb2420eed187u,
        0xfe3476530d846443u,
    },
    {
        0xe971af6e3fac6f69u,
        0x2fcb1e402f64dc3fu,
        0x23843a0b2352474au,
        0xf10f2c2cc2233ed4u,
        0x2f422b915381629cu,
        0x53944f15d58a15cu,
        0x58096bb262466692u,
    },
    {
        0xbb9e684f66681a5bu,
        0x5b21888aba047c0cu,
        0x2802682a8a0d5441u,
        0xaa466664b2b0e10bu,
        0x48b403ed8f3af3e3u,
        0x197f672f90fb07f9u,
        0x7692142813e813cfu,
    },
    {
        0x98e1dfb049f362e9u,
        0xc16ff87c764011b4u,
        0x8ca81058f1a6fea5u,
        0x4bef61de4413c6e1u,
        0xecc7f049c2364b19u,
        0x31db53c92176978au,
        0xf5cbf3a8955b7476u,
    },
    {
        0xd24818758d2c0fe5u,
        0xa8f4ce1bb82eb1c1u,
        0x50287997cfbd6d6bu,
        0x13216e2002f8a8d0u,
        0x9a19416bbaeebc3du,
        0x8584760bca0f5e4fu,
        0x887ec77cddf413cdu,
    },
    {
        0x5b7ff3716c0689c6u,
        0xa2bf3cd5244ada0cu,
        0x8fcdca65898664c1u,
        0xfea51ff2ca54d39au,
        0xb1b763390253c40u,
        0x7188a5d766c1f71cu,
        0xf1e6d9dc38bb4741u,
    },
    {
        0xd36101d0c74926a8u,
        0xf7b5196cc29724abu,
        0xaddfddd8f06f50dfu,
        0x399adb2787947f6cu,
        0x17798691aa112224u,
        0xa01090e1f2ada258u,
        0x1efe10f30b5e1d8fu,
    },
    {
        0x7ee8ae0bc90cff28u,
        0x1f387b007aabfb82u,
        0xb026911429731b37u,
        0xc77bb5f3c759df71u,
        0x77e156cb07010813u,
        0x957705cc32409f5eu,
        0xdc5e96962809c0d0u,
    },
    {
        0x8cbe67fd1c9fc636u,
        0x2fdf74dd1ea98e7u,
        0x45b35d661aa1aa9du,
        0x499fb1cb9e8c5b2cu,
        0x6b148dc0f5d2514du,
        0xca4a5efe2c1e1427u,
        0x87b10093ecab8adau,
    },
    {
        0xb31f36a23f2c4af2u,
        0xfcd40d71b8703fc3u,
        0x23799bed50cc0e5bu,
        0xa8cc31526c712e96u,
        0xf99cd4150b5a6402u,
        0x4ae471f83ce883d9u,
        0xde83ca904a8fb06eu,
    },
    {
        0xcb9172c9fb227cfeu,
        0xce8d4f9214d3da5au,
        0xc510bf4271ff6a93u,
        0x41aab986ed314297u,
        0x2bede050b5f58a57u,
        0x3613a94933c555e8u,
        0xbc36c5de31f11b1eu,
    },
    {
        0x198baa4bafe1239du,
        0xaa2cdf9d0eae3d49u,
        0xf4a81d0fa669bd07u,
        0x6a1b29241ef7cf8fu,
        0xa7b1db0685772f66u,
        0x6eea45bc6f0a97aau,
        0x8714e161e113cbe0u,
    },
};

// The elements the canvas of before handed its vector target, at scale 1.
const char* const referenceKinds[sequenceCount] = {
    "IRELRRPGRERREGGIERTLPPR",
    "PGTPTPRTEIPLRPIEGREG",
    "GEERTEELGIELLIPPEIGRTER",
    "RPPPLRIRERTRRRRTELGGERRT",
    "RTGRTIERTPRTRTERERTRPPLE",
    "GEGRTGREEEPRRGEEELRLEI",
    "RRPPEERELRIPRIRREEIER",
    "IGRRTIITPPRLPRLLITERRTE",
    "EIGERPRTRIRIRRTIRTRPIELE",
    "ELGRIRRLEERTEGIGEEGRLI",
    "GEPRIPEGRERRTEGIIIRTRRLP",
    "LEEPEGLEIIEETRTGRRERTT",
    "RTERTRRIETRTPREIRRTEGEERLR",
    "RPRTRERTEERTRRRRGRTRRR",
    "PIIGLPRRTIRGGPRTTERE",
    "LRTERRIRRIGRTIRTEEIRRTIPR",
    "RELTEPRPRTLGERTRTIRIILPI",
    "ERTPGRTTEEGRRPREGPRERRRPE",
    "LREGRGEGRERRGRRTRR",
    "PEEIERRIRETEIPEGGL",
    "RERTRRRLRRRTGRTPLGGRTRE",
    "RTTRTEEIETPILIRERTGIRIRR",
    "PPIRILLREEGLLIPLRTIIE",
    "LTGRRTEPETIRRTGRRPERRTI",
    "EGEIERLRGLRRPGRTLRRL",
    "GLRTRTEREERRGLLIPLRTPR",
    "IRITREPRIRTEIRITREIRL",
    "RTEEELTRPEGRGLIRERRRRLG",
    "GIIEIRIRGERPGRPEELLI",
    "IRRRREEGRREIREGRIEGPRE",
    "TRTRERERERELTIRRREIEERT",
    "LTELRPEILGIREEIIRTPERT",
    "RTRIERGREEPERGIELEERTIG",
    "LIRRELPEPRTRTREEGGRIE",
    "RRTRRRTPPPEEEETRERRTELRL",
    "ILEPRRREIERTRRRGRTPE",
    "RPERERRTIEEPLRILGEGRTPRGE",
    "ERGLLPPIERELRIIGIIREL",
    "TREPIIRRIEEGERTTLEEG",
    "RGTRTPERELTELEEGRR",
};

} // namespace

// Every sequence at every scale gives the picture the canvas gave before its surfaces were split
// off, bit for bit. Set ZNQ_PRINT_FINGERPRINTS to print the present pictures' table.
TEST(CanvasSurfaces, RasterPicturesAreThoseOfTheReference)
{
    const bool print = std::getenv("ZNQ_PRINT_FINGERPRINTS") != nullptr;
    for (unsigned seed = 0; seed < sequenceCount; ++seed) {
        if (print)
            std::cout << "    { ";
        for (size_t s = 0; s < std::size(scales); ++s) {
            const uint64_t picture = rasterFingerprint(seed, scales[s]);
            if (print)
                std::cout << "0x" << std::hex << picture << std::dec << "u, ";
            EXPECT_EQ(picture, referencePictures[seed][s])
                << "sequence " << seed << " at scale " << scales[s];
        }
        if (print)
            std::cout << "},\n";
    }
}

// The vector surface receives the same elements as before, in the same order, at every scale
// from 1 up; below 1 a figure smaller than a device pixel may vanish, as it does on the raster
// surface, and nothing else changes.
TEST(CanvasSurfaces, VectorElementsAreTheSameAtEveryScale)
{
    auto within = [](const std::string& part, const std::string& whole) {
        size_t at = 0;
        for (char c : part)
            if ((at = whole.find(c, at)) == std::string::npos)
                return false;
            else
                ++at;
        return true;
    };
    for (unsigned seed = 0; seed < sequenceCount; ++seed)
        for (double scale : scales) {
            const std::string kinds = vectorKinds(seed, scale);
            if (scale >= 1)
                EXPECT_EQ(kinds, referenceKinds[seed]) << "sequence " << seed << " at " << scale;
            else
                EXPECT_TRUE(within(kinds, referenceKinds[seed]))
                    << kinds << " in " << referenceKinds[seed] << ", sequence " << seed;
        }
}

// A fill or a bitmap with an opacity blends each channel to the nearest value of the exact blend,
// over exactly the pixels the opaque figure covers; the vector surface gets real transparency.
TEST(CanvasSurfaces, OpacityBlendsExactlyOnRasterAndTransparentlyOnVector)
{
    constexpr TColor under = 0x204060, brush = 0x00C0FF;
    struct Row {
        const char* name;
        double opacity;
        int alpha; // of 255
    };
    const Row rows[] = { { "none", 0, 0 }, { "quarter", 0.25, 64 }, { "half", 0.5, 128 },
        { "full", 1, 255 }, { "above one", 2, 255 }, { "below zero", -1, 0 },
        { "not a number", std::numeric_limits<double>::quiet_NaN(), 0 } };
    const std::vector<TPoint> figure = { { 3, 2 }, { 30, 6 }, { 22, 28 }, { 8, 20 }, { 15, 12 } };
    for (const double scale : { 1.0, 2.0 }) {
        // The opaque figure's interior, for the coverage.
        TBitmap opaque;
        opaque.SetScale(scale);
        opaque.SetSize(40, 32);
        opaque.Canvas().Pen().SetStyle(TPenStyle::psClear);
        opaque.Canvas().Brush().SetColor(clBlack);
        opaque.Canvas().Polygon(figure);
        TBitmap stamp(6, 4);
        stamp.Canvas().Brush().SetColor(brush);
        stamp.Canvas().FillRect(Rect(0, 0, 6, 4));
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << row.name << " at scale " << scale);
            TBitmap bitmap;
            bitmap.SetScale(scale);
            bitmap.SetSize(40, 32);
            TCanvas& canvas = bitmap.Canvas();
            canvas.Brush().SetColor(under);
            canvas.FillRect(Rect(0, 0, 40, 32));
            canvas.Brush().SetColor(brush);
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
            canvas.FillPolygon(figure, row.opacity);
            canvas.Draw(33, 27, stamp, row.opacity);
            auto blend = [&](int shift) {
                const int s = (brush >> shift) & 0xFF, t = (under >> shift) & 0xFF;
                return (s * row.alpha + t * (255 - row.alpha) + 127) / 255;
            };
            const TColor blended = TColor(blend(0) | blend(8) << 8 | blend(16) << 16);
            const QImage& image = bitmap.Image();
            int covered = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const bool inside = (opaque.Image().pixel(x, y) & 0xFFFFFF) == 0;
                    // The stamp's own pixels, at the place of its corner.
                    const bool inStamp = x >= int(33 * scale) && x < int(33 * scale) + 6
                        && y >= int(27 * scale) && y < int(27 * scale) + 4;
                    const TColor expected = inside || inStamp ? blended : under;
                    covered += inside;
                    ASSERT_EQ(RGBToColor(image.pixel(x, y)), expected) << x << ", " << y;
                }
            EXPECT_GT(covered, 100 * scale * scale);
        }
    }

    RecordingDevice device;
    QPainter painter(&device);
    TCanvas canvas(&painter, 40, 32);
    TBitmap stamp(6, 4);
    canvas.FillPolygon(figure, 0.5);
    canvas.Draw(3, 4, stamp, 0.25);
    canvas.Polygon(figure);
    painter.end();
    EXPECT_EQ(device.kinds(), "GIG");
    EXPECT_EQ(device.opacities(), (std::vector<double> { 0.5, 0.25, 1 }));
}

// Polygons of many edges (curves filled as areas) take another way to their spans than a box or
// a label: every pixel must still be the one of the odd-even rule on its centre, decided here
// exactly in integers, also for self-crossing figures that leave the picture.
TEST(CanvasSurfaces, ManyEdgedPolygonsFillByTheOddEvenRuleOnPixelCentres)
{
    std::mt19937 random(7);
    for (int round = 0; round < 12; ++round) {
        const int count = 33 + int(random() % 400);
        const int reach = round % 3 == 0 ? 400 : 80;
        std::vector<TPoint> figure(static_cast<size_t>(count));
        for (TPoint& p : figure)
            p = TPoint { int(random() % unsigned(reach)) - reach / 4,
                int(random() % unsigned(reach)) - reach / 4 };
        TBitmap bitmap(64, 48);
        bitmap.Canvas().Brush().SetColor(clWhite);
        bitmap.Canvas().FillRect(Rect(0, 0, 64, 48));
        bitmap.Canvas().Brush().SetColor(clBlack);
        bitmap.Canvas().FillPolygon(figure, 1.0);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const TColor expected
                    = testing_support::InsideOddEven(figure, x, y) ? clBlack : clWhite;
                ASSERT_EQ(bitmap.Canvas().Pixel(x, y), expected)
                    << "round " << round << " at " << x << ", " << y;
            }
    }
}

// Markers are whole pixels symmetric about their centre, of the odd size at or above the one
// asked for, enlarged with the scale; outlines lie inside the filled shape and reach its box.
TEST(CanvasSurfaces, MarkersAreExactAndSymmetric)
{
    const TMarkShape shapes[]
        = { TMarkShape::Dot, TMarkShape::Circle, TMarkShape::Square, TMarkShape::Diamond,
              TMarkShape::Triangle, TMarkShape::Cross, TMarkShape::Plus, TMarkShape::Star };
    auto draw = [](TMarkShape shape, int size, bool filled, double scale, TPoint at) {
        TBitmap bitmap;
        bitmap.SetScale(scale);
        bitmap.SetSize(21, 21);
        bitmap.Canvas().Brush().SetColor(clWhite);
        bitmap.Canvas().FillRect(Rect(0, 0, 21, 21));
        const TPoint points[] = { at };
        const TColor colors[] = { clRed };
        bitmap.Canvas().Marks(points, colors, TMark { shape, size, filled });
        std::vector<std::string> rows;
        for (int y = 0; y < bitmap.Image().height(); ++y) {
            std::string row;
            for (int x = 0; x < bitmap.Image().width(); ++x)
                row += RGBToColor(bitmap.Image().pixel(x, y)) == clRed ? '#' : '.';
            rows.push_back(row);
        }
        return rows;
    };
    for (const double scale : { 1.0, 2.0 })
        for (const TMarkShape shape : shapes)
            for (int size = 1; size <= 9; ++size)
                for (const bool filled : { true, false }) {
                    SCOPED_TRACE(testing::Message()
                        << "shape " << int(shape) << " size " << size
                        << (filled ? " filled" : " outline") << " scale " << scale);
                    const auto rows = draw(shape, size, filled, scale, TPoint { 10, 10 });
                    const int c = int(10.5 * scale), n = int(rows.size());
                    const int side = shape == TMarkShape::Dot ? int(scale) | 1
                                                              : int(std::lround(size * scale)) | 1;
                    int left = n, right = -1, top = n, bottom = -1, count = 0;
                    for (int y = 0; y < n; ++y)
                        for (int x = 0; x < n; ++x) {
                            if (rows[size_t(y)][size_t(x)] != '#')
                                continue;
                            ++count;
                            left = std::min(left, x), right = std::max(right, x);
                            top = std::min(top, y), bottom = std::max(bottom, y);
                            ASSERT_EQ(rows[size_t(y)][size_t(2 * c - x)], '#') << "mirrored";
                            if (shape != TMarkShape::Triangle) {
                                ASSERT_EQ(rows[size_t(2 * c - y)][size_t(x)], '#') << "flipped";
                                ASSERT_EQ(rows[size_t(x)][size_t(y)], '#') << "transposed";
                            }
                        }
                    EXPECT_EQ(right - left + 1, side);
                    EXPECT_EQ(bottom - top + 1, side);
                    EXPECT_EQ(left + right, 2 * c);
                    if (shape == TMarkShape::Square && filled) {
                        EXPECT_EQ(count, side * side);
                    }
                    if (!filled) {
                        const auto solid = draw(shape, size, true, scale, TPoint { 10, 10 });
                        for (int y = 0; y < n; ++y)
                            for (int x = 0; x < n; ++x) {
                                if (rows[size_t(y)][size_t(x)] == '#') {
                                    ASSERT_EQ(solid[size_t(y)][size_t(x)], '#');
                                }
                            }
                    }
                }
    const std::vector<std::string> circle
        = { "..###..", ".#...#.", "#.....#", "#.....#", "#.....#", ".#...#.", "..###.." };
    const std::vector<std::string> triangle
        = { "...#...", "...#...", "..###..", "..###..", ".#####.", ".#####.", "#######" };
    auto box = [](const std::vector<std::string>& rows) {
        std::vector<std::string> part;
        for (int y = 7; y < 14; ++y)
            part.push_back(rows[size_t(y)].substr(7, 7));
        return part;
    };
    EXPECT_EQ(box(draw(TMarkShape::Circle, 7, false, 1, TPoint { 10, 10 })), circle);
    EXPECT_EQ(box(draw(TMarkShape::Triangle, 7, true, 1, TPoint { 10, 10 })), triangle);
    // Cut by the picture's edges, and far outside it, without harm.
    EXPECT_EQ(draw(TMarkShape::Square, 7, true, 1, TPoint { 0, 20 })[20], "####.................");
    EXPECT_EQ(
        draw(TMarkShape::Star, 64, true, 1, TPoint { -2000000000, 5 })[5], std::string(21, '.'));

    RecordingDevice device;
    QPainter painter(&device);
    TCanvas canvas(&painter, 40, 32);
    const TPoint points[] = { { 5, 5 }, { 9, 9 } };
    const TColor colors[] = { clRed, clBlue };
    canvas.Marks(points, colors, TMark { TMarkShape::Circle, 5, true });
    painter.end();
    EXPECT_EQ(device.kinds(), "AA");
}

// A sector covers exactly the pixels whose centre the containment rule takes, for random rings,
// edges and sweeps (over half a turn, whole, none), centres off the pixel grid and partly outside,
// and, enlarged, the device pixels of the enlarged sector; a vector surface gets one path.
TEST(CanvasSurfaces, SectorsCoverExactlyThePixelsTheirRuleTakes)
{
    std::mt19937 random(23);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    for (int round = 0; round < 60; ++round) {
        TSector sector;
        sector.CenterX = round % 5 == 0 ? std::round(uniform(0, 64)) : uniform(-20, 84);
        sector.CenterY = uniform(-10, 58);
        sector.Outer = round % 7 == 0 ? 20 : uniform(0, 60);
        sector.Inner = round % 3 == 0 ? 0 : uniform(0, sector.Outer);
        sector.Start = uniform(-10, 10);
        sector.Sweep = round % 11 == 0 ? 7 : uniform(0, 2 * std::numbers::pi);
        const double scale = round % 4 == 3 ? 2 : 1;
        SCOPED_TRACE(testing::Message() << "round " << round);
        TBitmap bitmap;
        bitmap.SetScale(scale);
        bitmap.SetSize(64, 48);
        bitmap.Canvas().Brush().SetColor(clWhite);
        bitmap.Canvas().FillRect(Rect(0, 0, 64, 48));
        bitmap.Canvas().Brush().SetColor(clBlack);
        bitmap.Canvas().FillSector(sector, 1.0);
        TSector device = sector;
        device.CenterX = (sector.CenterX + 0.5) * scale - 0.5;
        device.CenterY = (sector.CenterY + 0.5) * scale - 0.5;
        device.Inner *= scale;
        device.Outer *= scale;
        const QImage& image = bitmap.Image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(RGBToColor(image.pixel(x, y)) == clBlack, SectorContains(device, x, y))
                    << x << ", " << y;
    }
    RecordingDevice device;
    QPainter painter(&device);
    TCanvas canvas(&painter, 40, 32);
    canvas.FillSector(TSector { 20, 16, 4, 12, 1, 2 }, 0.5);
    painter.end();
    EXPECT_EQ(device.kinds(), "A");
}

// A canvas for a part of a picture gets exactly the part's pixels of the whole picture: every kind
// of figure (lines solid, dotted, wide and XOR, polylines, polygons, boxes, ellipses, fills with
// opacity and clip, sectors, rings, markers, texts with background and clip, bitmaps drawn,
// blended and translucent), partly inside the part or wholly outside it, at scales 1 and 2.
TEST(CanvasSurfaces, APartOfAPictureGetsThePixelsOfTheWhole)
{
    std::mt19937 random(31);
    auto any
        = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    TBitmap stamp(9, 7);
    stamp.Canvas().Brush().SetColor(clTeal);
    stamp.Canvas().FillRect(Rect(0, 0, 9, 7));
    stamp.Canvas().Pen().SetColor(clYellow);
    stamp.Canvas().MoveTo(0, 0);
    stamp.Canvas().LineTo(9, 7);
    QImage translucent(20, 12, QImage::Format_ARGB32);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            translucent.setPixel(x, y, qRgba(200, 10 * x, 20 * y, x < 4 ? 255 : 12 * x));
    const auto scene = [&](TCanvas& c, std::mt19937 figures) {
        auto at = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(figures);
        };
        c.Brush().SetColor(0xF0E0D0);
        c.FillRect(Rect(0, 0, 120, 90));
        for (int k = 0; k < 40; ++k) {
            c.Pen().SetColor(TColor(at(0, 0xFFFFFF)));
            c.Pen().SetStyle(at(0, 2) == 0 ? TPenStyle::psDot : TPenStyle::psSolid);
            c.Pen().SetWidth(at(1, 2));
            c.Pen().SetMode(at(0, 5) == 0 ? TPenMode::pmXor : TPenMode::pmCopy);
            c.Brush().SetColor(TColor(at(0, 0xFFFFFF)));
            c.Brush().SetStyle(at(0, 1) ? TBrushStyle::bsSolid : TBrushStyle::bsClear);
            const TPoint a { at(-20, 140), at(-20, 110) }, b { at(-20, 140), at(-20, 110) };
            const TPoint d { at(-20, 140), at(-20, 110) };
            const std::vector<TPoint> points { a, b, d, TPoint { a.x, d.y } };
            switch (at(0, 11)) {
            case 0:
                c.MoveTo(a.x, a.y);
                c.LineTo(b.x, b.y);
                break;
            case 1:
                c.Polyline(points);
                break;
            case 2:
                c.Polygon(points);
                break;
            case 3:
                c.Rectangle(a.x, a.y, b.x, b.y);
                break;
            case 4:
                c.Ellipse(a.x, a.y, b.x, b.y);
                break;
            case 5:
                c.FillPolygon(points, 0.4,
                    std::vector<TPoint> { TPoint { 0, 0 }, TPoint { 100, 10 }, TPoint { 60, 90 } });
                break;
            case 6:
                c.FillSector(TSector { a.x + 0.3, a.y - 0.2, 3, 3.0 + at(0, 40), at(0, 6) * 1.0,
                                 at(1, 7) * 1.0 },
                    0.6);
                break;
            case 7: {
                const TSectorRing rings[]
                    = { { 0, 8, clRed, 1 }, { 8, 8.0 + at(0, 30), clBlue, 0.5 } };
                c.FillSectorRings(
                    TSector { double(a.x), double(a.y), 0, 0, 1, at(1, 6) * 1.0 }, rings);
                break;
            }
            case 8:
                c.Marks(points, std::vector<TColor> { clRed },
                    TMark { TMarkShape(at(0, 7)), at(1, 9), at(0, 1) == 1 });
                break;
            case 9:
                c.Font().SetColor(TColor(at(0, 0xFFFFFF)));
                if (at(0, 1))
                    c.TextOut(a.x, a.y, "Part 17 dB");
                else
                    c.TextRect(Rect(a.x, a.y, a.x + 30, a.y + 9), a.x - 3, a.y - 2, "clipped text");
                break;
            case 10:
                if (at(0, 1))
                    c.Draw(a.x, a.y, stamp);
                else
                    c.Draw(a.x, a.y, stamp, 0.5);
                break;
            default:
                c.DrawTranslucent(translucent, c.Scale(), a.x, a.y);
                break;
            }
        }
    };
    for (int round = 0; round < 16; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const double scale = round % 4 == 3 ? 2 : 1;
        const std::mt19937 figures { static_cast<uint32_t>(round) };
        TBitmap whole;
        whole.SetScale(scale);
        whole.SetSize(120, 90);
        scene(whole.Canvas(), figures);
        const QImage& all = whole.Image();
        QImage picture = all.copy();
        picture.fill(0xFF000000u);
        const int x0 = any(0, all.width() - 1), y0 = any(0, all.height() - 1);
        const int w = any(1, all.width() - x0), h = any(1, all.height() - y0);
        QImage part(picture.bits() + y0 * picture.bytesPerLine() + x0 * 4, w, h,
            picture.bytesPerLine(), QImage::Format_RGB32);
        {
            TCanvas canvas(&part, TPoint { x0, y0 });
            canvas.SetScale(scale, 120, 90);
            scene(canvas, figures);
        }
        for (int y = 0; y < all.height(); ++y)
            for (int x = 0; x < all.width(); ++x) {
                const bool inside = x >= x0 && y >= y0 && x < x0 + w && y < y0 + h;
                ASSERT_EQ(picture.pixel(x, y), inside ? all.pixel(x, y) : 0xFF000000u)
                    << x << ", " << y << " in the part from " << x0 << ", " << y0;
            }
    }
}

// Stacks of rings whose kept runs are more than may be kept make room for the newest: each
// stack filled again, kept or dropped, gives the picture it gave on a fresh bitmap.
TEST(CanvasSurfaces, StacksOfRingsKeptBeyondTheLimitFillWhatTheyFilled)
{
    auto stack = [](TColor color, double width) {
        std::vector<TSectorRing> rings;
        for (int k = 0; k < 40; ++k)
            rings.push_back(TSectorRing {
                width * k, width * (k + 1), TColor(color * (k + 1)), k % 3 == 0 ? 0.5 : 1 });
        return rings;
    };
    const TSector whole { 1000, 1000, 0, 0, 0, 7 };
    const std::vector<TSectorRing> first = stack(0x010203, 22.5), second = stack(0x030201, 21);
    auto paint = [&](TBitmap& bitmap, const std::vector<TSectorRing>& rings) {
        bitmap.Canvas().Brush().SetColor(clWhite);
        bitmap.Canvas().FillRect(Rect(0, 0, 2001, 2001));
        bitmap.Canvas().FillSectorRings(whole, rings);
        return bitmap.Image().copy();
    };
    auto fresh = [&](const std::vector<TSectorRing>& rings) {
        TBitmap bitmap(2001, 2001);
        return paint(bitmap, rings);
    };
    const QImage firstPicture = fresh(first), secondPicture = fresh(second);
    TBitmap reused(2001, 2001);
    for (const auto* rings :
        { &first, &first, &first, &second, &second, &second, &first, &first, &second, &first }) {
        ASSERT_EQ(paint(reused, *rings), rings == &first ? firstPicture : secondPicture);
    }
}

// Rings filled as a stack give the picture of their sectors filled one by one: for stacks outwards
// and inwards, touching and apart, thin and wide, with radii whose circles pass through pixel
// centres (those pixels belong to both rings and get both blends, in order), opaque, blended and
// invisible, over any sweep, enlarged, and in no order of radii at all. The same stack filled
// again and again on the same bitmap (its runs kept and filled again), and after the bitmap took
// another size, gives the same picture as on a fresh bitmap.
TEST(CanvasSurfaces, RingsOfAStackFillWhatTheirSectorsFillOneByOne)
{
    std::mt19937 random(29);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    TBitmap reused;
    auto paint = [&reused](double scale, auto fill, int width = 96, bool fresh = true) {
        TBitmap bitmap;
        TBitmap& target = fresh ? bitmap : reused;
        target.SetScale(scale);
        target.SetSize(width, 72);
        for (int y = 0; y < 72; ++y) {
            target.Canvas().Pen().SetColor(TColor(0x10305 * y));
            target.Canvas().MoveTo(0, y);
            target.Canvas().LineTo(width, y);
        }
        fill(target.Canvas());
        return target.Image().copy();
    };
    for (int round = 0; round < 80; ++round) {
        const bool whole = round % 4 == 0;
        TSector sector;
        sector.CenterX = whole ? std::round(uniform(10, 86)) : uniform(-30, 120);
        sector.CenterY = whole ? std::round(uniform(10, 62)) : uniform(-30, 100);
        sector.Start = uniform(-7, 7);
        sector.Sweep = round % 9 == 0 ? 7 : uniform(0, round % 3 == 0 ? 6.3 : 1.6);
        std::vector<TSectorRing> rings;
        double radius = round % 5 == 0 ? uniform(0, 30) : 0;
        const bool thin = round % 2 == 1;
        for (int k = int(uniform(1, 12)); k > 0; --k) {
            const double width = whole ? std::round(uniform(0, 6))
                : thin                 ? uniform(0, 2)
                                       : uniform(0, 25);
            if (round % 6 == 5)
                radius += std::round(uniform(0, 3));
            const double opacity = k % 5 == 0 ? 0 : k % 2 == 0 ? 1 : uniform(0, 1);
            rings.push_back(
                TSectorRing { radius, radius + width, TColor(0x3A1F07 * (k + 1)), opacity });
            radius += width;
        }
        if (round % 3 == 1)
            std::reverse(rings.begin(), rings.end());
        if (round % 10 == 7)
            std::shuffle(rings.begin(), rings.end(), random);
        const double scale = round % 8 == 3 ? 2 : 1;
        SCOPED_TRACE(testing::Message() << "round " << round);
        const auto stack = [&](TCanvas& canvas) { canvas.FillSectorRings(sector, rings); };
        const QImage stacked = paint(scale, stack);
        const QImage single = paint(scale, [&](TCanvas& canvas) {
            for (const TSectorRing& ring : rings) {
                TSector part = sector;
                part.Inner = ring.Inner;
                part.Outer = ring.Outer;
                canvas.Brush().SetColor(ring.Color);
                canvas.FillSector(part, ring.Opacity);
            }
        });
        for (int y = 0; y < stacked.height(); ++y)
            for (int x = 0; x < stacked.width(); ++x)
                ASSERT_EQ(stacked.pixel(x, y), single.pixel(x, y)) << x << ", " << y;
        for (int again = 0; again < 3; ++again)
            ASSERT_EQ(paint(scale, stack, 96, false), stacked) << again;
        ASSERT_EQ(paint(scale, stack, 61, false), paint(scale, stack, 61));
    }
}
