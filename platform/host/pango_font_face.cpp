// FontFace over fontconfig (matching), pango and cairo (measuring and
// rasterising).
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>

#include "platform/host/font_face.h"
#include "platform/host/utf8.h"

namespace hp::host {

namespace {

template <typename T, void (*Release)(T *)>
struct Releaser {
    void operator()(T *p) const
    {
        if (p)
            Release(p);
    }
};
using PatternPtr = std::unique_ptr<FcPattern, Releaser<FcPattern, FcPatternDestroy>>;
using DescriptionPtr =
    std::unique_ptr<PangoFontDescription,
                    Releaser<PangoFontDescription, pango_font_description_free>>;
using FontOptionsPtr =
    std::unique_ptr<cairo_font_options_t, Releaser<cairo_font_options_t, cairo_font_options_destroy>>;
using CairoSurfacePtr =
    std::unique_ptr<cairo_surface_t, Releaser<cairo_surface_t, cairo_surface_destroy>>;
using CairoPtr = std::unique_ptr<cairo_t, Releaser<cairo_t, cairo_destroy>>;
void unrefObject(void *object) { g_object_unref(object); }
struct GObjectReleaser {
    void operator()(void *p) const
    {
        if (p)
            unrefObject(p);
    }
};
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectReleaser>;
using ContextPtr = std::unique_ptr<PangoContext, GObjectReleaser>;
using PangoFontPtr = std::unique_ptr<PangoFont, GObjectReleaser>;
using MetricsPtr =
    std::unique_ptr<PangoFontMetrics, Releaser<PangoFontMetrics, pango_font_metrics_unref>>;

constexpr int shiftJisCharSet = 128;
constexpr int fixedPitch = 1;
constexpr int familyRoman = 0x10;
constexpr int familySwiss = 0x20;
constexpr int familyModern = 0x30;
constexpr int familyMask = 0xF0;
constexpr int nonAntialiasedQuality = 3;
constexpr int defaultCellHeightPixels = 16;

// The Windows faces that programs name, and the installed faces of the same
// kind (Mincho = serif, Gothic = sans; "P" faces are proportional).
struct FaceAlias {
    const char *windowsName;  // UTF-8; ASCII names compare case-insensitively
    const char *hostFamily;
    const char *generic;
};
constexpr FaceAlias faceAliases[] = {
    {u8"ＭＳ 明朝", "IPAMincho", "serif"},
    {"MS Mincho", "IPAMincho", "serif"},
    {u8"ＭＳ Ｐ明朝", "IPAPMincho", "serif"},
    {"MS PMincho", "IPAPMincho", "serif"},
    {u8"ＭＳ ゴシック", "IPAGothic", "sans-serif"},
    {"MS Gothic", "IPAGothic", "sans-serif"},
    {u8"ＭＳ Ｐゴシック", "IPAPGothic", "sans-serif"},
    {"MS PGothic", "IPAPGothic", "sans-serif"},
    {"MS UI Gothic", "IPAPGothic", "sans-serif"},
    {"MS Shell Dlg", "IPAPGothic", "sans-serif"},
    {"MS Shell Dlg 2", "IPAPGothic", "sans-serif"},
    {"System", "IPAPGothic", "sans-serif"},
    {"Terminal", "IPAGothic", "monospace"},
    {"Courier New", "Liberation Mono", "monospace"},
    {"Courier", "Liberation Mono", "monospace"},
    {"Arial", "Liberation Sans", "sans-serif"},
    {"Times New Roman", "Liberation Serif", "serif"},
};

bool equalIgnoringAsciiCase(const std::string &a, const char *b)
{
    size_t length = std::strlen(b);
    if (a.size() != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = x - 'A' + 'a';
        if (y >= 'A' && y <= 'Z')
            y = y - 'A' + 'a';
        if (x != y)
            return false;
    }
    return true;
}

const char *genericFor(const FontRequest &request)
{
    switch (request.pitchAndFamily & familyMask) {
    case familyRoman:
        return "serif";
    case familyModern:
        return "monospace";
    case familySwiss:
        return "sans-serif";
    default:
        return (request.pitchAndFamily & 3) == fixedPitch ? "monospace" : "sans-serif";
    }
}

int fontconfigWeightFor(int gdiWeight)
{
    if (gdiWeight <= 0)
        return FC_WEIGHT_REGULAR;
    return FcWeightFromOpenType(gdiWeight);
}

struct MatchedFace {
    std::string family;
    std::string file;
    int fontconfigWeight = FC_WEIGHT_REGULAR;
};

MatchedFace matchFace(const FontRequest &request)
{
    std::string family = request.faceUtf8;
    const char *generic = genericFor(request);
    for (const FaceAlias &alias : faceAliases) {
        if (request.faceUtf8 == alias.windowsName ||
            equalIgnoringAsciiCase(request.faceUtf8, alias.windowsName)) {
            family = alias.hostFamily;
            generic = alias.generic;
            break;
        }
    }
    PatternPtr pattern(FcPatternCreate());
    if (!family.empty())
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8 *>(family.c_str()));
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8 *>(generic));
    if (request.charSet == shiftJisCharSet || family.rfind("IPA", 0) == 0)
        FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8 *>("ja"));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, fontconfigWeightFor(request.weight));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));

    MatchedFace face;
    FcChar8 *value = nullptr;
    if (match && FcPatternGetString(match.get(), FC_FAMILY, 0, &value) == FcResultMatch)
        face.family = reinterpret_cast<const char *>(value);
    if (match && FcPatternGetString(match.get(), FC_FILE, 0, &value) == FcResultMatch)
        face.file = reinterpret_cast<const char *>(value);
    int weight = FC_WEIGHT_REGULAR;
    if (match && FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &weight) == FcResultMatch)
        face.fontconfigWeight = weight;
    if (face.family.empty())
        face.family = generic;
    return face;
}

using FaceKey = std::tuple<std::string, int, int, bool, bool, bool, int, int, int>;

FaceKey keyOf(const FontRequest &r)
{
    return FaceKey(r.faceUtf8, r.height, r.weight, r.italic, r.underline, r.strikeOut, r.charSet,
                   r.pitchAndFamily, r.quality);
}

std::map<FaceKey, std::weak_ptr<FontFace>> &faceCache()
{
    static std::map<FaceKey, std::weak_ptr<FontFace>> cache;
    return cache;
}

int liveFaces = 0;

std::string utf8Of(char32_t c)
{
    std::string out;
    utf8::append(c, out);
    return out;
}

}  // namespace

struct FontFace::Impl {
    FontRequest request;
    MatchedFace matched;
    FontMetrics metrics;
    double emPixels = 0;
    DescriptionPtr description;
    FontOptionsPtr options;
    std::unordered_map<char32_t, GlyphMask> glyphs;

    DescriptionPtr describe(double pixels) const
    {
        DescriptionPtr d(pango_font_description_new());
        pango_font_description_set_family(d.get(), matched.family.c_str());
        pango_font_description_set_absolute_size(d.get(), pixels * PANGO_SCALE);
        pango_font_description_set_weight(
            d.get(), request.weight >= 600 ? PANGO_WEIGHT_BOLD
                                           : (request.weight > 0 && request.weight < 400
                                                  ? static_cast<PangoWeight>(request.weight)
                                                  : PANGO_WEIGHT_NORMAL));
        pango_font_description_set_style(d.get(),
                                         request.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
        return d;
    }

    // Logical width of a text in pango units, unhinted.
    int logicalWidth(const char *utf8) const
    {
        ContextPtr context(pango_font_map_create_context(pango_cairo_font_map_get_default()));
        pango_cairo_context_set_font_options(context.get(), options.get());
        // Design widths, not widths rounded glyph by glyph.
        pango_context_set_round_glyph_positions(context.get(), FALSE);
        LayoutPtr layout(pango_layout_new(context.get()));
        pango_layout_set_font_description(layout.get(), description.get());
        pango_layout_set_text(layout.get(), utf8, -1);
        PangoRectangle logical{};
        pango_layout_get_extents(layout.get(), nullptr, &logical);
        return logical.width;
    }

    void measure()
    {
        PangoFontMap *map = pango_cairo_font_map_get_default();
        ContextPtr context(pango_font_map_create_context(map));
        pango_cairo_context_set_font_options(context.get(), options.get());
        PangoLanguage *japanese = pango_language_from_string("ja");

        // The cell (ascent + descent) as a multiple of the em, from a large
        // reference size so that rounding does not matter.
        constexpr double referencePixels = 1024.0;
        DescriptionPtr reference = describe(referencePixels);
        PangoFontPtr referenceFont(pango_font_map_load_font(map, context.get(), reference.get()));
        double ascentRatio = 0.88;
        double cellRatio = 1.0;
        if (referenceFont) {
            MetricsPtr m(pango_font_get_metrics(referenceFont.get(), japanese));
            double ascent = pango_font_metrics_get_ascent(m.get()) / double(PANGO_SCALE);
            double descent = pango_font_metrics_get_descent(m.get()) / double(PANGO_SCALE);
            if (ascent + descent > 0) {
                ascentRatio = ascent / referencePixels;
                cellRatio = (ascent + descent) / referencePixels;
            }
        }

        int cell = 0;
        if (request.height > 0) {
            cell = request.height;
            emPixels = cell / cellRatio;
        } else if (request.height < 0) {
            emPixels = -request.height;
            cell = static_cast<int>(std::lround(emPixels * cellRatio));
        } else {
            cell = defaultCellHeightPixels;
            emPixels = cell / cellRatio;
        }
        description = describe(emPixels);

        metrics.height = cell;
        metrics.ascent = std::min(cell, static_cast<int>(std::lround(emPixels * ascentRatio)));
        metrics.descent = cell - metrics.ascent;
        metrics.internalLeading = std::max(0, cell - static_cast<int>(std::lround(emPixels)));
        metrics.weight = request.weight > 0 ? request.weight : 400;
        metrics.syntheticBold =
            request.weight >= 600 && matched.fontconfigWeight < FC_WEIGHT_DEMIBOLD;
        const int boldExtra = metrics.syntheticBold ? 1 : 0;

        // GDI advances are whole pixels: the design width at this size,
        // truncated, plus the pixel that emboldening adds.
        metrics.halfWidthAdvance = logicalWidth("0") / PANGO_SCALE + boldExtra;
        const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
        const int alphabetWidth = logicalWidth(alphabet) / PANGO_SCALE + 52 * boldExtra;
        metrics.averageCharWidth = (alphabetWidth / 26 + 1) / 2;
        metrics.maxCharWidth = logicalWidth(u8"あ") / PANGO_SCALE + boldExtra;

        const int pitch = request.pitchAndFamily & 3;
        const int xWidth = logicalWidth("i");
        const int mWidth = logicalWidth("M");
        metrics.fixedPitch = pitch == fixedPitch || (pitch == 0 && xWidth == mWidth);
        if (metrics.fixedPitch)
            metrics.averageCharWidth = metrics.halfWidthAdvance;
    }

    GlyphMask render(char32_t character) const
    {
        GlyphMask glyph;
        const std::string text = utf8Of(character);
        const int pad = static_cast<int>(std::ceil(emPixels)) + 4;
        const int canvasWidth = pad * 4;
        const int canvasHeight = pad * 3;
        CairoSurfacePtr surface(
            cairo_image_surface_create(CAIRO_FORMAT_A8, canvasWidth, canvasHeight));
        CairoPtr cr(cairo_create(surface.get()));
        LayoutPtr layout(pango_cairo_create_layout(cr.get()));
        pango_cairo_context_set_font_options(pango_layout_get_context(layout.get()),
                                             options.get());
        pango_layout_context_changed(layout.get());
        pango_layout_set_font_description(layout.get(), description.get());
        pango_layout_set_text(layout.get(), text.c_str(), -1);
        PangoRectangle logical{};
        pango_layout_get_extents(layout.get(), nullptr, &logical);
        const int baseline = pango_layout_get_baseline(layout.get());
        const int originX = pad;
        const int originY = pad + metrics.ascent;
        cairo_move_to(cr.get(), originX,
                      originY - std::lround(baseline / double(PANGO_SCALE)));
        pango_cairo_show_layout(cr.get(), layout.get());
        if (metrics.syntheticBold) {
            // Emboldened as the platform does it: the glyph once more, one
            // pixel to the right.
            cairo_move_to(cr.get(), originX + 1,
                          originY - std::lround(baseline / double(PANGO_SCALE)));
            pango_cairo_show_layout(cr.get(), layout.get());
        }
        cairo_surface_flush(surface.get());
        glyph.advance = static_cast<int>(std::lround(logical.width / double(PANGO_SCALE))) +
                        (metrics.syntheticBold ? 1 : 0);

        const unsigned char *data = cairo_image_surface_get_data(surface.get());
        const int stride = cairo_image_surface_get_stride(surface.get());
        int left = canvasWidth, right = -1, top = canvasHeight, bottom = -1;
        for (int y = 0; y < canvasHeight; ++y) {
            const unsigned char *row = data + static_cast<size_t>(y) * stride;
            for (int x = 0; x < canvasWidth; ++x) {
                if (row[x]) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        if (right < 0)
            return glyph;  // blank (space)
        glyph.left = left - originX;
        glyph.top = top - originY;
        glyph.width = right - left + 1;
        glyph.height = bottom - top + 1;
        glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
        for (int y = 0; y < glyph.height; ++y)
            std::memcpy(glyph.coverage.data() + static_cast<size_t>(y) * glyph.width,
                        data + static_cast<size_t>(top + y) * stride + left, glyph.width);
        return glyph;
    }
};

FontFace::FontFace(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) { ++liveFaces; }

FontFace::~FontFace() { --liveFaces; }

std::shared_ptr<FontFace> FontFace::open(const FontRequest &request)
{
    auto &cache = faceCache();
    const FaceKey key = keyOf(request);
    auto found = cache.find(key);
    if (found != cache.end()) {
        if (auto face = found->second.lock())
            return face;
    }
    // Forget entries whose faces are gone, so the cache stays small.
    for (auto it = cache.begin(); it != cache.end();)
        it = it->second.expired() ? cache.erase(it) : std::next(it);

    auto impl = std::make_unique<Impl>();
    impl->request = request;
    impl->matched = matchFace(request);
    impl->options.reset(cairo_font_options_create());
    cairo_font_options_set_antialias(impl->options.get(),
                                     request.quality == nonAntialiasedQuality
                                         ? CAIRO_ANTIALIAS_NONE
                                         : CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(impl->options.get(), CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(impl->options.get(), CAIRO_HINT_METRICS_OFF);
    impl->measure();
    std::shared_ptr<FontFace> face(new FontFace(std::move(impl)));
    cache[key] = face;
    return face;
}

const FontMetrics &FontFace::metrics() const { return impl_->metrics; }
const std::string &FontFace::family() const { return impl_->matched.family; }
const std::string &FontFace::file() const { return impl_->matched.file; }

const GlyphMask &FontFace::glyph(char32_t character)
{
    auto found = impl_->glyphs.find(character);
    if (found != impl_->glyphs.end())
        return found->second;
    return impl_->glyphs.emplace(character, impl_->render(character)).first->second;
}

int FontFace::liveCount() { return liveFaces; }

}  // namespace hp::host

// Fontconfig and pango keep per-process caches of patterns and fonts that
// the leak checker of sanitizer builds reports at exit (pango alone shows
// them, one set per font size realised). They are the libraries' own; our
// faces are counted by FontFace::liveCount() instead.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libpango-1.0.so\n"
           "leak:libpangoft2-1.0.so\n"
           "leak:libpangocairo-1.0.so\n"
           "leak:libcairo.so\n"
           "leak:libharfbuzz.so\n";
}
