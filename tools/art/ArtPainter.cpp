#include "tools/art/ArtPainter.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace art {

namespace {

constexpr double kPi = 3.14159265358979323846;

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using ContextPtr = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;
using PatternPtr = std::unique_ptr<cairo_pattern_t, decltype(&cairo_pattern_destroy)>;

PatternPtr MakePattern(const SPaint& paint) {
  if (paint.kind == EPaintKind::Solid) {
    const SColour& c = paint.stops[0];
    return PatternPtr(cairo_pattern_create_rgba(c.r, c.g, c.b, c.a), cairo_pattern_destroy);
  }
  const std::vector<double>& g = paint.geometry;
  PatternPtr pattern(paint.kind == EPaintKind::Linear ? cairo_pattern_create_linear(g[0], g[1], g[2], g[3])
                                                      : cairo_pattern_create_radial(g[0], g[1], 0, g[0], g[1], g[2]),
                     cairo_pattern_destroy);
  for (size_t i = 0; i < paint.stops.size(); ++i) {
    const SColour& c = paint.stops[i];
    cairo_pattern_add_color_stop_rgba(pattern.get(), double(i) / double(paint.stops.size() - 1), c.r, c.g, c.b, c.a);
  }
  return pattern;
}

// The style the statements set for the shapes after them.
struct SStyle {
  SPaint fill;
  SPaint stroke;
  double strokeWidth = 1;
  bool shadow = false;
  double shadowX = 0, shadowY = 0, softness = 0;
  SColour shadowColour;
};

class CPainter {
 public:
  CPainter(const SPicture& picture, int width, int height)
      : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), cairo_surface_destroy),
        m_cairo(cairo_create(m_surface.get()), cairo_destroy) {
    const double scale = std::max(double(width) / picture.width, double(height) / picture.height);
    cairo_translate(m_cairo.get(), (width - picture.width * scale) / 2, (height - picture.height * scale) / 2);
    cairo_scale(m_cairo.get(), scale, scale);
    // The same bytes on every machine: no hinting, grey antialiasing.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(m_cairo.get(), options);
    cairo_font_options_destroy(options);
    cairo_select_font_face(m_cairo.get(), "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  }

  void Run(const SStep& step) {
    cairo_t* cr = m_cairo.get();
    const std::vector<double>& n = step.numbers;
    switch (step.kind) {
      case EStep::Fill:
        m_style.fill = step.none ? SPaint() : step.paint;
        break;
      case EStep::Stroke:
        m_style.stroke = step.none ? SPaint() : step.paint;
        if (!step.none) m_style.strokeWidth = n[0];
        break;
      case EStep::Shadow:
        m_style.shadow = !step.none;
        if (!step.none) {
          m_style.shadowX = n[0];
          m_style.shadowY = n[1];
          m_style.softness = n[2];
          m_style.shadowColour = step.colour;
        }
        break;
      case EStep::Font:
        cairo_select_font_face(cr, step.text.c_str(), step.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                               step.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        break;
      case EStep::Rect:
        RoundedRect(n[0], n[1], n[2], n[3], n.size() > 4 ? n[4] : 0);
        DrawPath(true);
        break;
      case EStep::Circle:
        cairo_arc(cr, n[0], n[1], n[2], 0, 2 * kPi);
        DrawPath(true);
        break;
      case EStep::Ellipse:
        cairo_save(cr);
        cairo_translate(cr, n[0], n[1]);
        cairo_scale(cr, n[2], n[3]);
        cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
        cairo_restore(cr);
        DrawPath(true);
        break;
      case EStep::Polygon:
        for (size_t i = 0; i < n.size(); i += 2) cairo_line_to(cr, n[i], n[i + 1]);
        cairo_close_path(cr);
        DrawPath(true);
        break;
      case EStep::Line:
        cairo_move_to(cr, n[0], n[1]);
        cairo_line_to(cr, n[2], n[3]);
        DrawPath(false);
        break;
      case EStep::Arc:
        cairo_arc(cr, n[0], n[1], n[2], n[3] * kPi / 180, n[4] * kPi / 180);
        DrawPath(false);
        break;
      case EStep::Text:
        TextPath(step);
        DrawPath(true);
        break;
      case EStep::Layer:
        cairo_push_group(cr);
        m_opacities.push_back(n[0]);
        break;
      case EStep::End:
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, m_opacities.back());
        m_opacities.pop_back();
        break;
      case EStep::Grain:
        AddGrain(n[0], uint32_t(int64_t(n[1])));
        break;
    }
  }

  SRgbaImage Result() {
    cairo_surface_flush(m_surface.get());
    SRgbaImage image;
    image.width = uint32_t(cairo_image_surface_get_width(m_surface.get()));
    image.height = uint32_t(cairo_image_surface_get_height(m_surface.get()));
    image.rgba.reserve(size_t(image.width) * image.height * 4);
    const unsigned char* data = cairo_image_surface_get_data(m_surface.get());
    const int stride = cairo_image_surface_get_stride(m_surface.get());
    for (uint32_t y = 0; y < image.height; ++y) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
      for (uint32_t x = 0; x < image.width; ++x) {
        // Cairo keeps premultiplied 0xAARRGGBB words.
        const uint32_t argb = row[x];
        const uint32_t a = argb >> 24;
        auto straight = [a](uint32_t c) { return uint8_t(a == 0 ? 0 : (c * 255 + a / 2) / a); };
        image.rgba.insert(image.rgba.end(),
                          {straight((argb >> 16) & 0xFF), straight((argb >> 8) & 0xFF), straight(argb & 0xFF), uint8_t(a)});
      }
    }
    return image;
  }

 private:
  void RoundedRect(double x, double y, double w, double h, double radius) {
    cairo_t* cr = m_cairo.get();
    radius = std::fmin(std::fmax(radius, 0.0), std::fmin(w, h) / 2);
    if (radius == 0) {
      cairo_rectangle(cr, x, y, w, h);
      return;
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, kPi / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, x + radius, y + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
  }

  // One line of text, its middle at the statement's y; shrunk to its greatest width if given.
  void TextPath(const SStep& step) {
    cairo_t* cr = m_cairo.get();
    const std::vector<double>& n = step.numbers;
    cairo_set_font_size(cr, n[2]);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, step.text.c_str(), &extents);
    if (n.size() > 3 && extents.x_advance > n[3]) {
      cairo_set_font_size(cr, n[2] * n[3] / extents.x_advance);
      cairo_text_extents(cr, step.text.c_str(), &extents);
    }
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    double x = n[0];
    if (step.align == EAlign::Center) x -= extents.x_advance / 2;
    if (step.align == EAlign::Right) x -= extents.x_advance;
    cairo_move_to(cr, x, n[1] + (font.ascent - font.descent) / 2);
    cairo_text_path(cr, step.text.c_str());
  }

  // Shadow, fill, then outline of the current path, each where the style has one.
  void DrawPath(bool closed) {
    cairo_t* cr = m_cairo.get();
    const bool fills = closed && m_style.fill.kind != EPaintKind::None;
    const bool strokes = m_style.stroke.kind != EPaintKind::None;
    cairo_set_line_width(cr, m_style.strokeWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    if (m_style.shadow && (fills || strokes)) DrawShadow(fills);
    if (fills) {
      PatternPtr pattern = MakePattern(m_style.fill);
      cairo_set_source(cr, pattern.get());
      cairo_fill_preserve(cr);
    }
    if (strokes) {
      PatternPtr pattern = MakePattern(m_style.stroke);
      cairo_set_source(cr, pattern.get());
      cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
  }

  // The path offset and laid on in rings that widen as they fade, a blur without a blur.
  void DrawShadow(bool fills) {
    cairo_t* cr = m_cairo.get();
    cairo_path_t* path = cairo_copy_path(cr);
    const SColour& c = m_style.shadowColour;
    const int rings = int(std::ceil(m_style.softness));
    cairo_save(cr);
    cairo_push_group(cr);
    cairo_translate(cr, m_style.shadowX, m_style.shadowY);
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    cairo_set_source_rgba(cr, c.r, c.g, c.b, 1.0 / (rings + 1));
    for (int ring = rings; ring >= 1; --ring) {
      cairo_set_line_width(cr, m_style.strokeWidth + 2.0 * ring);
      cairo_stroke_preserve(cr);
    }
    cairo_set_source_rgba(cr, c.r, c.g, c.b, 1);
    if (fills) cairo_fill_preserve(cr);
    cairo_set_line_width(cr, m_style.strokeWidth);
    cairo_stroke(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, c.a);
    cairo_restore(cr);
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    cairo_path_destroy(path);
  }

  // Deterministic noise: each covered pixel brightened or darkened by up to `amount`.
  void AddGrain(double amount, uint32_t seed) {
    cairo_surface_t* target = cairo_get_group_target(m_cairo.get());
    cairo_surface_flush(target);
    unsigned char* data = cairo_image_surface_get_data(target);
    if (!data) return;
    const int width = cairo_image_surface_get_width(target), height = cairo_image_surface_get_height(target);
    const int stride = cairo_image_surface_get_stride(target);
    uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
      uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
      for (int x = 0; x < width; ++x) {
        state = state * 1664525u + 1013904223u;
        const uint32_t a = row[x] >> 24;
        if (a == 0) continue;
        const double shift = (double(state >> 8) / double(1u << 24) - 0.5) * 2 * amount * a;
        uint32_t argb = a << 24;
        for (int channel = 16; channel >= 0; channel -= 8) {
          const double value = std::round(double((row[x] >> channel) & 0xFF) + shift);
          argb |= uint32_t(std::fmin(std::fmax(value, 0.0), double(a))) << channel;
        }
        row[x] = argb;
      }
    }
    cairo_surface_mark_dirty(target);
  }

  SurfacePtr m_surface;
  ContextPtr m_cairo;
  SStyle m_style;
  std::vector<double> m_opacities;
};

}  // namespace

SRgbaImage Paint(const SPicture& picture) { return Paint(picture, picture.width, picture.height); }

SRgbaImage Paint(const SPicture& picture, int width, int height) {
  CPainter painter(picture, width, height);
  for (const SStep& step : picture.steps) painter.Run(step);
  return painter.Result();
}

void ReleaseFontCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

}  // namespace art
