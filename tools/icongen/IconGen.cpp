// Draws the application icon for the desktop's icon theme: a top view of the mouse
// in the skin's accent colour on the skin's dark panel, as PNG files of several
// sizes and one scalable SVG:
//   icongen OUT_FOLDER NAME  ->  OUT_FOLDER/hicolor/<n>x<n>/apps/NAME.png,
//                                OUT_FOLDER/hicolor/scalable/apps/NAME.svg
// The picture is drawn in a 256-unit square and scaled, so every size is drawn,
// not resampled; below 32 pixels the small details are left out.
#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

void SetColor(cairo_t* cr, unsigned rgb, double alpha = 1.0) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                          alpha);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// The mouse body seen from above: narrower at the front (top), round at the back.
void Body(cairo_t* cr) {
    cairo_move_to(cr, 128, 40);
    cairo_curve_to(cr, 176, 40, 190, 78, 192, 118);
    cairo_curve_to(cr, 195, 170, 184, 222, 128, 224);
    cairo_curve_to(cr, 72, 222, 61, 170, 64, 118);
    cairo_curve_to(cr, 66, 78, 80, 40, 128, 40);
    cairo_close_path(cr);
}

// `size` is the side in pixels.
void Draw(cairo_t* cr, int size) {
    const bool small = size < 32;
    cairo_scale(cr, size / 256.0, size / 256.0);

    // Panel: the skin's dark blue-black, lighter at the top.
    RoundedRect(cr, 8, 8, 240, 240, 44);
    cairo_pattern_t* panel = cairo_pattern_create_linear(0, 8, 0, 248);
    cairo_pattern_add_color_stop_rgb(panel, 0, 0x1E / 255.0, 0x2C / 255.0, 0x3C / 255.0);
    cairo_pattern_add_color_stop_rgb(panel, 1, 0x06 / 255.0, 0x0B / 255.0, 0x11 / 255.0);
    cairo_set_source(cr, panel);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(panel);
    SetColor(cr, 0x253445);
    cairo_set_line_width(cr, small ? 10 : 4);
    cairo_stroke(cr);

    // Glow under the body, then the body with its accent outline.
    if (!small)
        for (int g = 6; g >= 1; --g) {
            Body(cr);
            SetColor(cr, 0x49FFE6, 0.05);
            cairo_set_line_width(cr, 8 + g * 5);
            cairo_stroke(cr);
        }
    Body(cr);
    cairo_pattern_t* shell = cairo_pattern_create_linear(64, 40, 192, 224);
    cairo_pattern_add_color_stop_rgb(shell, 0, 0x2A / 255.0, 0x38 / 255.0, 0x48 / 255.0);
    cairo_pattern_add_color_stop_rgb(shell, 1, 0x0E / 255.0, 0x16 / 255.0, 0x20 / 255.0);
    cairo_set_source(cr, shell);
    cairo_fill_preserve(cr);
    SetColor(cr, 0x49FFE6);
    cairo_set_line_width(cr, small ? 16 : 9);
    cairo_stroke(cr);
    cairo_pattern_destroy(shell);

    // The split between the two main buttons, and the wheel.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetColor(cr, 0x49FFE6, small ? 1.0 : 0.8);
    cairo_set_line_width(cr, small ? 12 : 6);
    cairo_move_to(cr, 128, 44);
    cairo_line_to(cr, 128, small ? 120 : 78);
    cairo_stroke(cr);
    if (!small) {
        cairo_move_to(cr, 68, 122);
        cairo_curve_to(cr, 100, 132, 156, 132, 188, 122);
        cairo_stroke(cr);
        RoundedRect(cr, 118, 78, 20, 38, 10);
        SetColor(cr, 0xE8F0F5);
        cairo_fill(cr);

        // The "V" on the palm rest.
        cairo_move_to(cr, 104, 150);
        cairo_line_to(cr, 117, 150);
        cairo_line_to(cr, 128, 178);
        cairo_line_to(cr, 139, 150);
        cairo_line_to(cr, 152, 150);
        cairo_line_to(cr, 134, 194);
        cairo_line_to(cr, 122, 194);
        cairo_close_path(cr);
        SetColor(cr, 0x49FFE6);
        cairo_fill(cr);
    }
}

bool WritePng(const std::filesystem::path& file, int size) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    Draw(cr, size);
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(surface, file.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

bool WriteSvg(const std::filesystem::path& file) {
    cairo_surface_t* surface = cairo_svg_surface_create(file.c_str(), 256, 256);
    cairo_t* cr = cairo_create(surface);
    Draw(cr, 256);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: icongen OUT_FOLDER ICON_NAME\n");
        return 2;
    }
    const std::filesystem::path root = std::filesystem::path(argv[1]) / "hicolor";
    const std::string name = argv[2];
    std::error_code error;
    for (int size : kSizes) {
        const std::filesystem::path folder =
            root / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
        std::filesystem::create_directories(folder, error);
        if (!WritePng(folder / (name + ".png"), size)) {
            std::fprintf(stderr, "icongen: cannot write %s\n", (folder / (name + ".png")).c_str());
            return 1;
        }
    }
    const std::filesystem::path scalable = root / "scalable" / "apps";
    std::filesystem::create_directories(scalable, error);
    if (!WriteSvg(scalable / (name + ".svg"))) {
        std::fprintf(stderr, "icongen: cannot write %s\n", (scalable / (name + ".svg")).c_str());
        return 1;
    }
    return 0;
}
