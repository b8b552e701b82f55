// cairo/pango back end of Canvas.
#include "orvix/platform/Canvas.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstring>

#include "base/TextConv.h"
#include "orvix/platform/CairoImpl.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Image.h"
#include "orvix/platform/TextFitMeasure.h"

namespace Orvix {

namespace {

void SetSource(cairo_t* cr, Color c) {
    cairo_set_source_rgba(cr, c.GetR() / 255.0, c.GetG() / 255.0, c.GetB() / 255.0, c.GetA() / 255.0);
}

void RectPath(cairo_t* cr, const CRect& r) { cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height()); }

// Halves round up, so that a whole-pixel shift (a layer's corner) shifts the
// result by as much.
int RoundPixel(double v) { return int(std::floor(v + 0.5)); }

// The device pixels a rect in user coordinates covers: its corners mapped and
// rounded, so neighbouring rects share their edge pixel for pixel.
CRect DeviceRect(cairo_t* cr, const CRect& r) {
    double x0 = r.left, y0 = r.top, x1 = r.right, y1 = r.bottom;
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    return CRect(RoundPixel(x0), RoundPixel(y0), RoundPixel(x1), RoundPixel(y1));
}

double DeviceScale(cairo_t* cr) {
    double x = 1, y = 0;
    cairo_user_to_device_distance(cr, &x, &y);
    return x;
}

// A line width in whole device pixels, at least one.
int DeviceWidth(cairo_t* cr, int logicalWidth) {
    return std::max(1, int(std::lround(logicalWidth * DeviceScale(cr))));
}

// Narrows the clip to the device pixels a user-space rect covers (kept until
// the caller's cairo_restore).
void ClipToPixels(cairo_t* cr, const CRect& rect) {
    const CRect pixels = DeviceRect(cr, rect);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_identity_matrix(cr);
    RectPath(cr, pixels);
    cairo_clip(cr);
    cairo_set_matrix(cr, &m);
}

// Runs `draw` with device pixels as the coordinates (the clip stays).
template <class F>
void InDeviceSpace(cairo_t* cr, F draw) {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    draw();
    cairo_restore(cr);
}

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double radius) {
    radius = std::min({radius, w / 2, h / 2});
    if (radius <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void EllipsePath(cairo_t* cr, double x, double y, double w, double h) {
    if (w <= 0 || h <= 0) return;
    cairo_save(cr);
    cairo_translate(cr, x + w / 2, y + h / 2);
    cairo_scale(cr, w / 2, h / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void ArcPath(cairo_t* cr, const CRect& box, double startDeg, double sweepDeg, bool pie, double inset) {
    double w = box.Width() - 2 * inset, h = box.Height() - 2 * inset;
    if (w <= 0 || h <= 0) return;
    double a0 = startDeg * M_PI / 180, a1 = (startDeg + sweepDeg) * M_PI / 180;
    cairo_save(cr);
    cairo_translate(cr, box.left + inset + w / 2, box.top + inset + h / 2);
    cairo_scale(cr, w / 2, h / 2);
    cairo_new_sub_path(cr);
    if (pie) cairo_move_to(cr, 0, 0);
    if (sweepDeg >= 0) cairo_arc(cr, 0, 0, 1, a0, a1);
    else cairo_arc_negative(cr, 0, 0, 1, a0, a1);
    if (pie) cairo_close_path(cr);
    cairo_restore(cr);
}

// One pango context for measuring outside any canvas.
cairo_t* MeasureContext() {
    static thread_local struct Holder {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cairo_t* cr = cairo_create(surface);
        ~Holder() {
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
        }
    } holder;
    return holder.cr;
}

// Builds the layout of a text; null when the family does not resolve.
PangoLayout* MakeLayout(cairo_t* cr, const std::wstring& text, const TextStyle& style, int width) {
    std::wstring family = ResolveFontFamily(style.family);
    if (family.empty()) return nullptr;
    PangoLayout* layout = pango_cairo_create_layout(cr);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    cairo_font_options_destroy(options);
    // The text's language picks the fallback font for glyphs the family lacks.
    pango_context_set_language(pango_layout_get_context(layout), pango_language_from_string(GetTextLanguage()));
    pango_layout_context_changed(layout);

    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, WideToUtf8(family).c_str());
    pango_font_description_set_absolute_size(desc, std::max(1, style.pixelSize) * PANGO_SCALE);
    if (style.style & 1) pango_font_description_set_weight(desc, PANGO_WEIGHT_BOLD);
    if (style.style & 2) pango_font_description_set_style(desc, PANGO_STYLE_ITALIC);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    if (style.style & 4) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    std::string utf8 = WideToUtf8(text);
    pango_layout_set_text(layout, utf8.c_str(), int(utf8.size()));
    if (width > 0 && (style.wrap || style.ellipsis)) {
        pango_layout_set_width(layout, width * PANGO_SCALE);
        if (style.wrap) {
            pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        } else {
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
            pango_layout_set_single_paragraph_mode(layout, TRUE);
        }
        PangoAlignment align = style.hAlign == 1   ? PANGO_ALIGN_CENTER
                               : style.hAlign == 2 ? PANGO_ALIGN_RIGHT
                                                   : PANGO_ALIGN_LEFT;
        pango_layout_set_alignment(layout, align);
    }
    return layout;
}

CSize LayoutSize(PangoLayout* layout) {
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    return {w, h};
}

// Where a laid-out text starts in `rect`: aligned by the layout itself when it
// wraps or ellipsizes to the rect's width, by the style otherwise; whole pixels.
CPoint LayoutOrigin(PangoLayout* layout, const CRect& rect, const TextStyle& style) {
    const CSize size = LayoutSize(layout);
    const bool layoutAligned = rect.Width() > 0 && (style.wrap || style.ellipsis);
    double x = rect.left;
    if (!layoutAligned) {
        if (style.hAlign == 1) x = rect.left + (rect.Width() - size.cx) / 2.0;
        else if (style.hAlign == 2) x = rect.right - size.cx;
    }
    double y = rect.top;
    if (style.vAlign == 4) y = rect.top + (rect.Height() - size.cy) / 2.0;
    else if (style.vAlign == 8) y = rect.bottom - size.cy;
    return {int(std::round(x)), int(std::round(y))};
}


}  // namespace

Canvas::Canvas(int width, int height, double scale)
    : Canvas(width, height, scale, int(std::lround(std::max(1, width) * scale)),
             int(std::lround(std::max(1, height) * scale)), 0, 0) {}

Canvas::Canvas(int width, int height, double scale, int pixelWidth, int pixelHeight)
    : Canvas(width, height, scale, pixelWidth, pixelHeight, 0, 0) {}

Canvas::Canvas(int width, int height, double scale, int pixelWidth, int pixelHeight, double phaseX, double phaseY)
    : m_width(std::max(1, width)),
      m_height(std::max(1, height)),
      m_scale(scale > 0 ? scale : 1.0),
      m_pixelWidth(std::max(1, pixelWidth)),
      m_pixelHeight(std::max(1, pixelHeight)),
      m_phaseX(phaseX),
      m_phaseY(phaseY),
      m_impl(std::make_unique<Impl>()) {
    m_impl->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, m_pixelWidth, m_pixelHeight);
    m_impl->cr = cairo_create(m_impl->surface);
    if (m_scale != 1.0 || m_phaseX != 0 || m_phaseY != 0) {
        cairo_translate(m_impl->cr, m_phaseX, m_phaseY);
        cairo_scale(m_impl->cr, m_scale, m_scale);
    }
}

CRect Canvas::ToPixels(const CRect& rect) const { return DeviceRect(m_impl->cr, rect); }

std::unique_ptr<Canvas> Canvas::MakeLayer(const CRect& rect) const {
    const CRect pixels = ToPixels(rect);
    double x = rect.left, y = rect.top;
    cairo_user_to_device(m_impl->cr, &x, &y);
    return std::unique_ptr<Canvas>(new Canvas(rect.Width(), rect.Height(), m_scale, pixels.Width(), pixels.Height(),
                                              x - pixels.left, y - pixels.top));
}

bool Canvas::IsLayerOf(const Canvas& target, const CRect& rect) const {
    const CRect pixels = target.ToPixels(rect);
    double x = rect.left, y = rect.top;
    cairo_user_to_device(target.m_impl->cr, &x, &y);
    return m_scale == target.m_scale && m_width == std::max(1, rect.Width()) &&
           m_height == std::max(1, rect.Height()) && m_pixelWidth == std::max(1, pixels.Width()) &&
           m_pixelHeight == std::max(1, pixels.Height()) && std::abs(m_phaseX - (x - pixels.left)) < 1e-6 &&
           std::abs(m_phaseY - (y - pixels.top)) < 1e-6;
}

Canvas::~Canvas() {
    cairo_destroy(m_impl->cr);
    cairo_surface_destroy(m_impl->surface);
}

void Canvas::Clear(Color color) {
    cairo_t* cr = m_impl->cr;
    InDeviceSpace(cr, [&] {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        SetSource(cr, color);
        cairo_rectangle(cr, 0, 0, m_pixelWidth, m_pixelHeight);
        cairo_fill(cr);
    });
}

void Canvas::SetRectPixels(const CRect& rect, Color color) {
    cairo_t* cr = m_impl->cr;
    const CRect pixels = DeviceRect(cr, rect);
    InDeviceSpace(cr, [&] {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        SetSource(cr, color);
        RectPath(cr, pixels);
        cairo_fill(cr);
    });
}

void Canvas::FillRect(const CRect& rect, Color color) {
    if (rect.IsRectEmpty()) return;
    cairo_t* cr = m_impl->cr;
    const CRect pixels = DeviceRect(cr, rect);
    InDeviceSpace(cr, [&] {
        SetSource(cr, color);
        RectPath(cr, pixels);
        cairo_fill(cr);
    });
}

void Canvas::DrawRect(const CRect& rect, Color color, int lineWidth) {
    if (rect.IsRectEmpty() || lineWidth <= 0) return;
    cairo_t* cr = m_impl->cr;
    const CRect p = DeviceRect(cr, rect);
    const int w = std::min({DeviceWidth(cr, lineWidth), (p.Width() + 1) / 2, (p.Height() + 1) / 2});
    if (w <= 0) return;
    // Four bands inside the rect, each pixel covered once (as a stroke would).
    InDeviceSpace(cr, [&] {
        SetSource(cr, color);
        cairo_rectangle(cr, p.left, p.top, p.Width(), w);
        if (p.Height() > w) cairo_rectangle(cr, p.left, p.bottom - w, p.Width(), w);
        if (p.Height() > 2 * w) {
            cairo_rectangle(cr, p.left, p.top + w, w, p.Height() - 2 * w);
            if (p.Width() > w) cairo_rectangle(cr, p.right - w, p.top + w, w, p.Height() - 2 * w);
        }
        cairo_fill(cr);
    });
}

void Canvas::FillRoundRect(const CRect& rect, int radius, Color color) {
    if (rect.IsRectEmpty()) return;
    SetSource(m_impl->cr, color);
    RoundRectPath(m_impl->cr, rect.left, rect.top, rect.Width(), rect.Height(), radius);
    cairo_fill(m_impl->cr);
}

void Canvas::DrawRoundRect(const CRect& rect, int radius, Color color, int lineWidth) {
    if (rect.IsRectEmpty() || lineWidth <= 0) return;
    double half = lineWidth / 2.0;
    SetSource(m_impl->cr, color);
    cairo_set_line_width(m_impl->cr, lineWidth);
    RoundRectPath(m_impl->cr, rect.left + half, rect.top + half, rect.Width() - lineWidth,
                  rect.Height() - lineWidth, radius);
    cairo_stroke(m_impl->cr);
}

void Canvas::FillEllipse(const CRect& box, Color color) {
    SetSource(m_impl->cr, color);
    EllipsePath(m_impl->cr, box.left, box.top, box.Width(), box.Height());
    cairo_fill(m_impl->cr);
}

void Canvas::DrawEllipse(const CRect& box, Color color, int lineWidth) {
    double half = lineWidth / 2.0;
    SetSource(m_impl->cr, color);
    cairo_set_line_width(m_impl->cr, lineWidth);
    EllipsePath(m_impl->cr, box.left + half, box.top + half, box.Width() - lineWidth, box.Height() - lineWidth);
    cairo_stroke(m_impl->cr);
}

void Canvas::DrawLine(CPoint from, CPoint to, Color color, int lineWidth) {
    cairo_t* cr = m_impl->cr;
    // Drawn in device pixels: whole-pixel ends and width, and odd widths on
    // pixel centres, so thin lines stay crisp at any scale.
    const int width = DeviceWidth(cr, lineWidth);
    const double offset = (width % 2) ? 0.5 : 0.0;
    double x0 = from.x, y0 = from.y, x1 = to.x, y1 = to.y;
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    InDeviceSpace(cr, [&] {
        SetSource(cr, color);
        cairo_set_line_width(cr, width);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
        cairo_move_to(cr, RoundPixel(x0) + offset, RoundPixel(y0) + offset);
        cairo_line_to(cr, RoundPixel(x1) + offset, RoundPixel(y1) + offset);
        cairo_stroke(cr);
    });
}

void Canvas::FillPolygon(const std::vector<CPoint>& points, Color color) {
    if (points.size() < 3) return;
    cairo_t* cr = m_impl->cr;
    SetSource(cr, color);
    cairo_move_to(cr, points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].x, points[i].y);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void Canvas::DrawArc(const CRect& box, double startDeg, double sweepDeg, Color color, int lineWidth) {
    SetSource(m_impl->cr, color);
    cairo_set_line_width(m_impl->cr, lineWidth);
    ArcPath(m_impl->cr, box, startDeg, sweepDeg, false, lineWidth / 2.0);
    cairo_stroke(m_impl->cr);
}

void Canvas::FillPie(const CRect& box, double startDeg, double sweepDeg, Color color) {
    SetSource(m_impl->cr, color);
    ArcPath(m_impl->cr, box, startDeg, sweepDeg, true, 0);
    cairo_fill(m_impl->cr);
}

void Canvas::FillGradient(const CRect& rect, Color from, Color to, bool vertical) {
    if (rect.IsRectEmpty()) return;
    cairo_pattern_t* p = vertical ? cairo_pattern_create_linear(0, rect.top, 0, rect.bottom)
                                  : cairo_pattern_create_linear(rect.left, 0, rect.right, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, from.GetR() / 255.0, from.GetG() / 255.0, from.GetB() / 255.0,
                                      from.GetA() / 255.0);
    cairo_pattern_add_color_stop_rgba(p, 1, to.GetR() / 255.0, to.GetG() / 255.0, to.GetB() / 255.0,
                                      to.GetA() / 255.0);
    cairo_t* cr = m_impl->cr;
    const CRect pixels = DeviceRect(cr, rect);
    cairo_save(cr);
    cairo_set_source(cr, p);  // the gradient stays in logical units
    cairo_identity_matrix(cr);
    RectPath(cr, pixels);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(p);
}

namespace {
// Paints src of a surface into dst; a sub-surface with padded edges keeps
// neighbouring source pixels from bleeding into stretched slices.
// How the pixels of `src` in an image surface repeat: each row of one value, each
// column of one value (both: one colour).
struct Uniformity {
    bool rows = false;
    bool columns = false;
};

Uniformity UniformityOf(cairo_surface_t* surface, const CRect& src) {
    Uniformity u;
    if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32)
        return u;
    const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    if (src.left < 0 || src.top < 0 || src.right > width || src.bottom > height) return u;
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    if (!data) return u;
    auto at = [&](int x, int y) { return reinterpret_cast<const uint32_t*>(data + y * stride)[x]; };
    u.rows = u.columns = true;
    for (int y = src.top; y < src.bottom && (u.rows || u.columns); ++y) {
        for (int x = src.left; x < src.right; ++x) {
            const uint32_t p = at(x, y);
            if (p != at(src.left, y)) u.rows = false;
            if (p != at(x, src.top)) u.columns = false;
            if (!u.rows && !u.columns) break;
        }
    }
    return u;
}

// A stretch of a picture part whose rows (or columns) are each of one value: the
// first column (row) is stretched into a strip once and the strip repeated across.
// Filtering equal neighbours yields their value, so the pixels are those of the
// filtered stretch, at a fraction of its cost over a window-sized area (the middle
// of most frame pictures is a plain colour or a gradient).
bool PaintRepeatedStrip(cairo_t* cr, cairo_surface_t* surface, const CRect& dst, const CRect& src, double alpha,
                        cairo_operator_t op) {
    const double sx = double(dst.Width()) / src.Width(), sy = double(dst.Height()) / src.Height();
    // Only where the stretch is a plain bilinear one in both directions.
    if (sx < 1 || sy < 1 || (sx == 1 && sy == 1)) return false;
    const Uniformity u = UniformityOf(surface, src);
    if (!u.rows && !u.columns) return false;
    const bool columnStrip = u.rows;  // one column, as tall as the target
    // One colour: a single pixel repeated, which the compositor takes as a plain fill.
    const bool single = u.rows && u.columns;
    const int stripW = single || columnStrip ? 1 : dst.Width(), stripH = single || !columnStrip ? 1 : dst.Height();
    cairo_surface_t* strip = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, stripW, stripH);
    cairo_surface_t* line = cairo_surface_create_for_rectangle(surface, src.left, src.top,
                                                                columnStrip ? 1 : src.Width(),
                                                                columnStrip ? src.Height() : 1);
    cairo_t* s = cairo_create(strip);
    cairo_set_operator(s, CAIRO_OPERATOR_SOURCE);
    if (!single) cairo_scale(s, columnStrip ? 1 : sx, columnStrip ? sy : 1);
    cairo_set_source_surface(s, line, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(s), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(s), CAIRO_FILTER_GOOD);
    cairo_paint(s);
    cairo_destroy(s);
    cairo_surface_destroy(line);
    cairo_surface_flush(strip);

    cairo_save(cr);
    cairo_set_operator(cr, op);
    RectPath(cr, dst);
    cairo_clip(cr);
    cairo_set_source_surface(cr, strip, dst.left, dst.top);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    if (alpha >= 1) cairo_paint(cr);
    else cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
    cairo_surface_destroy(strip);
    return true;
}

void PaintSurface(cairo_t* cr, cairo_surface_t* surface, const CRect& dst, const CRect& src, double alpha,
                  cairo_operator_t op) {
    if (dst.IsRectEmpty() || src.IsRectEmpty()) return;
    if (PaintRepeatedStrip(cr, surface, dst, src, alpha, op)) return;
    cairo_surface_t* sub = cairo_surface_create_for_rectangle(surface, src.left, src.top, src.Width(), src.Height());
    cairo_save(cr);
    cairo_set_operator(cr, op);
    RectPath(cr, dst);
    cairo_clip(cr);
    cairo_translate(cr, dst.left, dst.top);
    double sx = double(dst.Width()) / src.Width(), sy = double(dst.Height()) / src.Height();
    cairo_scale(cr, sx, sy);
    cairo_set_source_surface(cr, sub, 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, (sx == 1 && sy == 1) ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    if (alpha >= 1) cairo_paint(cr);
    else cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
    cairo_surface_destroy(sub);
}
}  // namespace

void Canvas::DrawImage(const Image& image, const CRect& dst, const CRect& src, int frame, BYTE alpha) {
    image.MatchDensity();
    if (frame < 0 || frame >= image.GetFrameCount()) return;
    CRect clipped;
    if (!clipped.IntersectRect(src, CRect(0, 0, image.GetWidth(), image.GetHeight()))) return;
    // A picture of a higher density has that many pixels per logical unit.
    const int d = image.GetDensity();
    const CRect source(src.left * d, src.top * d, src.right * d, src.bottom * d);
    cairo_t* cr = m_impl->cr;
    const CRect pixels = DeviceRect(cr, dst);
    InDeviceSpace(cr, [&] {
        PaintSurface(cr, image.GetFrame(frame).surface, pixels, source, alpha / 255.0, CAIRO_OPERATOR_OVER);
    });
}

void Canvas::DrawImage(const Image& image, int x, int y, int frame) {
    CRect src(0, 0, image.GetWidth(), image.GetHeight());
    DrawImage(image, CRect(x, y, x + src.right, y + src.bottom), src, frame);
}

void Canvas::DrawCanvas(const Canvas& source, const CRect& dst, const CRect& src, Blend blend) {
    cairo_surface_flush(source.m_impl->surface);
    // Both rects in device pixels (the source's follow its origin).
    CRect device = DeviceRect(source.m_impl->cr, src);
    // A source rect beyond the source (a cache of an older size) would be read
    // past its pixels: only the part that exists is drawn, where it belongs.
    const CRect dstPixels = DeviceRect(m_impl->cr, dst);
    CRect target = dstPixels;
    const CRect bounds(0, 0, cairo_image_surface_get_width(source.m_impl->surface),
                       cairo_image_surface_get_height(source.m_impl->surface));
    CRect inside;
    if (!inside.IntersectRect(device, bounds)) return;
    if (inside != device) {
        if (device.Width() != dstPixels.Width() || device.Height() != dstPixels.Height()) return;
        target = CRect(dstPixels.left + inside.left - device.left, dstPixels.top + inside.top - device.top,
                       dstPixels.right - (device.right - inside.right),
                       dstPixels.bottom - (device.bottom - inside.bottom));
        device = inside;
    }
    cairo_t* cr = m_impl->cr;
    InDeviceSpace(cr, [&] {
        PaintSurface(cr, source.m_impl->surface, target, device, 1.0,
                     blend == Blend::Copy ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER);
    });
}

void Canvas::DrawText(const std::wstring& text, const CRect& rect, Color color, const TextStyle& style) {
    if (text.empty() || color.GetA() == 0) return;
    cairo_t* cr = m_impl->cr;
    PangoLayout* layout = MakeLayout(cr, text, style, rect.Width());
    if (!layout) return;
    const CPoint origin = LayoutOrigin(layout, rect, style);
    cairo_save(cr);
    if (style.clip) ClipToPixels(cr, rect);
    SetSource(cr, color);
    cairo_move_to(cr, origin.x, origin.y);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
}

// ---------------------------------------------------------------- TextBlock

TextBlock::TextBlock() = default;
TextBlock::~TextBlock() = default;

void TextBlock::Reset() {
    m_valid = false;
    m_ink.reset();
}

void TextBlock::Draw(Canvas& canvas, const std::wstring& text, const CRect& rect, Color color,
                     const TextStyle& style) {
    m_reused = m_valid && text == m_text && rect == m_rect && color.GetValue() == m_color.GetValue() &&
               style == m_style && canvas.GetScale() == m_scale && (!m_ink || m_ink->IsLayerOf(canvas, m_inkRect));
    if (!m_reused) Render(canvas, text, rect, color, style);
    if (!m_ink) return;
    // The ink lies on the canvas's pixel grid: a plain offset does (no
    // sub-surface, no filter set-up).
    cairo_t* cr = canvas.GetImpl().cr;
    cairo_surface_t* ink = m_ink->GetImpl().surface;
    cairo_surface_flush(ink);
    const CRect pixels = DeviceRect(cr, m_inkRect);
    InDeviceSpace(cr, [&] {
        cairo_set_source_surface(cr, ink, pixels.left, pixels.top);
        RectPath(cr, pixels);
        cairo_fill(cr);
    });
}

void TextBlock::Render(const Canvas& target, const std::wstring& text, const CRect& rect, Color color,
                       const TextStyle& style) {
    m_valid = true;
    m_scale = target.GetScale();
    m_text = text;
    m_rect = rect;
    m_color = color;
    m_style = style;
    m_ink.reset();
    if (text.empty() || color.GetA() == 0) return;
    PangoLayout* layout = MakeLayout(MeasureContext(), text, style, rect.Width());
    if (!layout) return;
    // The layout's origin exactly where DrawText puts it, so the glyphs sit on the
    // same pixels.
    const CPoint origin = LayoutOrigin(layout, rect, style);
    const int ox = origin.x, oy = origin.y;
    PangoRectangle ink{}, logical{};
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    // A pixel of margin for antialiasing beyond the ink box.
    CRect box(ox + ink.x - 1, oy + ink.y - 1, ox + ink.x + ink.width + 1, oy + ink.y + ink.height + 1);
    if (style.clip) box = box & rect;
    if (ink.width <= 0 || ink.height <= 0 || box.IsRectEmpty()) {
        g_object_unref(layout);
        return;
    }
    m_inkRect = box;
    m_ink = target.MakeLayer(box);
    cairo_t* cr = m_ink->GetImpl().cr;
    pango_cairo_update_layout(cr, layout);
    SetSource(cr, color);
    cairo_move_to(cr, ox - box.left, oy - box.top);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
}

CSize Canvas::MeasureText(const std::wstring& text, const TextStyle& style, int maxWidth) {
    if (text.empty()) return {0, 0};
    PangoLayout* layout = MakeLayout(MeasureContext(), text, style, maxWidth);
    if (!layout) return {0, 0};
    CSize size = LayoutSize(layout);
    g_object_unref(layout);
    return size;
}

TextFitResult MeasureTextFit(const std::wstring& text, const CRect& rect, const TextStyle& style) {
    TextFitResult fit;
    if (text.empty()) return fit;
    PangoLayout* layout = MakeLayout(MeasureContext(), text, style, rect.Width());
    if (!layout) return fit;
    const CPoint origin = LayoutOrigin(layout, rect, style);
    PangoRectangle ink{}, logical{};
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    fit.needed = {logical.width, logical.height};
    fit.elided = pango_layout_is_ellipsized(layout);
    if (ink.width > 0 && ink.height > 0) {
        const CRect glyphs(origin.x + ink.x, origin.y + ink.y, origin.x + ink.x + ink.width,
                           origin.y + ink.y + ink.height);
        // A pixel of antialiasing, and beside it the overhang some glyphs have
        // past their advance (the hook of a "J").
        fit.fits = glyphs.left >= rect.left - 3 && glyphs.top >= rect.top - 1 &&
                   glyphs.right <= rect.right + 3 && glyphs.bottom <= rect.bottom + 1;
    }
    g_object_unref(layout);
    return fit;
}

// Declared with the font helpers: it lays the text out as DrawText does.
int CountUnknownGlyphs(const std::wstring& text, const std::wstring& family, int pixelSize) {
    if (text.empty()) return 0;
    TextStyle style;
    style.family = family;
    style.pixelSize = pixelSize;
    PangoLayout* layout = MakeLayout(MeasureContext(), text, style, 0);
    if (!layout) return int(text.size());
    const int unknown = pango_layout_get_unknown_glyphs_count(layout);
    g_object_unref(layout);
    return unknown;
}

int Canvas::CountLines(const std::wstring& text, const TextStyle& style, int maxWidth) {
    if (text.empty()) return 0;
    PangoLayout* layout = MakeLayout(MeasureContext(), text, style, maxWidth);
    if (!layout) return 0;
    int lines = pango_layout_get_line_count(layout);
    g_object_unref(layout);
    return lines;
}

void Canvas::PushClip(const CRect& rect) {
    cairo_save(m_impl->cr);
    ClipToPixels(m_impl->cr, rect);
}

void Canvas::PopClip() { cairo_restore(m_impl->cr); }

void Canvas::PushOrigin(int dx, int dy) {
    m_origins.push_back(m_origin);
    m_origin.Offset(dx, dy);
    cairo_save(m_impl->cr);
    cairo_translate(m_impl->cr, dx, dy);
}

void Canvas::PopOrigin() {
    if (m_origins.empty()) return;
    m_origin = m_origins.back();
    m_origins.pop_back();
    cairo_restore(m_impl->cr);
}

void Canvas::SetAntialias(bool on) {
    cairo_set_antialias(m_impl->cr, on ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

uint32_t* Canvas::GetData() {
    cairo_surface_flush(m_impl->surface);
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(m_impl->surface));
}

const uint32_t* Canvas::GetData() const {
    cairo_surface_flush(m_impl->surface);
    return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(m_impl->surface));
}

int Canvas::GetStride() const { return cairo_image_surface_get_stride(m_impl->surface) / 4; }

void Canvas::MarkDirty() { cairo_surface_mark_dirty(m_impl->surface); }

Color Canvas::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_pixelWidth || y >= m_pixelHeight) return Color(0);
    return UnpremultiplyPixel(GetData()[y * GetStride() + x]);
}

bool Canvas::SavePng(const std::wstring& path) const {
    cairo_surface_flush(m_impl->surface);
    return cairo_surface_write_to_png(m_impl->surface, WideToUtf8(path).c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace Orvix
