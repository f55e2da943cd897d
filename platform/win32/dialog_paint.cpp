// Draws a dialog in the look of a classic one: grey face, raised push buttons with a dark
// frame on the default one, sunken check box and list field, the open list with its
// highlighted line, dotted focus marks. Text uses the embedded font set proportionally
// (each glyph as wide as its ink plus one pixel), clipped to its control.
#include "platform/win32/dialog_internal.h"
#include "platform/win32/font.h"

namespace {

constexpr uint32_t kFace = 0xC0C0C0;
constexpr uint32_t kLight = 0xFFFFFF;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kDark = 0x000000;
constexpr uint32_t kWindow = 0xFFFFFF;
constexpr uint32_t kHighlight = 0x000080;
constexpr uint32_t kHighlightText = 0xFFFFFF;
constexpr int kSpaceAdvance = 4;

// Draws in the dialog's pixels into an image that covers `whole` of them: the dialog's own
// image, or the open list's.
struct Canvas {
    std::vector<uint32_t>& image;
    RECT whole;
    RECT clip;  // drawing stays inside this and the image
    void Unclip() { clip = whole; }
    void Pixel(int x, int y, uint32_t c) {
        if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) return;
        if (x < whole.left || y < whole.top || x >= whole.right || y >= whole.bottom) return;
        image[static_cast<size_t>(y - whole.top) * (whole.right - whole.left) + (x - whole.left)] = c;
    }
    void Fill(const RECT& r, uint32_t c) {
        for (int y = r.top; y < r.bottom; y++)
            for (int x = r.left; x < r.right; x++) Pixel(x, y, c);
    }
    // A one-pixel frame: top and left in `tl`, bottom and right in `br`.
    void Frame(const RECT& r, uint32_t tl, uint32_t br) {
        for (int x = r.left; x < r.right; x++) Pixel(x, r.top, tl), Pixel(x, r.bottom - 1, br);
        for (int y = r.top; y < r.bottom; y++) Pixel(r.left, y, tl), Pixel(r.right - 1, y, br);
        Pixel(r.right - 1, r.top, br);
        Pixel(r.left, r.bottom - 1, br);
    }
    void DottedFrame(const RECT& r) {
        for (int x = r.left; x < r.right; x += 2) Pixel(x, r.top, kDark), Pixel(x, r.bottom - 1, kDark);
        for (int y = r.top; y < r.bottom; y += 2) Pixel(r.left, y, kDark), Pixel(r.right - 1, y, kDark);
    }
    void Text(int x, int y, const std::string& text, uint32_t c);
};

RECT Inset(const RECT& r, int n) { return RECT{r.left + n, r.top + n, r.right - n, r.bottom - n}; }

// The inked columns of a glyph: first and one past the last; both 0 for an empty one.
void InkColumns(unsigned char ch, int& first, int& end) {
    uint8_t bits = 0;
    for (int row = 0; row < kGdiFontHeight; row++) bits |= kGdiFontGlyphs[ch][row];
    first = end = 0;
    if (!bits) return;
    while (!(bits & (0x80 >> first))) first++;
    end = kGdiFontWidth;
    while (!(bits & (0x80 >> (end - 1)))) end--;
}

int Advance(unsigned char ch) {
    if (ch == ' ') return kSpaceAdvance;
    int first, end;
    InkColumns(ch, first, end);
    return end > first ? end - first + 1 : kGdiFontWidth;
}

void Canvas::Text(int x, int y, const std::string& text, uint32_t c) {
    for (unsigned char ch : text) {
        int first, end;
        InkColumns(ch, first, end);
        for (int row = 0; row < kGdiFontHeight; row++)
            for (int col = first; col < end; col++)
                if (kGdiFontGlyphs[ch][row] & (0x80 >> col)) Pixel(x + col - first, y + row, c);
        x += Advance(ch);
    }
}

int TextTop(const RECT& r) { return r.top + (r.bottom - r.top - kGdiFontHeight) / 2; }

bool IsDefaultLook(const DialogState& d, size_t i) {
    const DialogControl& c = d.controls[i];
    if (c.kind != DialogControlKind::PushButton) return false;
    const DialogControl* focused = d.focus >= 0 ? &d.controls[static_cast<size_t>(d.focus)] : nullptr;
    // The focused push button is the one Enter presses; otherwise the template's default.
    if (focused && focused->kind == DialogControlKind::PushButton) return static_cast<int>(i) == d.focus;
    return (c.style & 0xF) == BS_DEFPUSHBUTTON;
}

void PaintButton(Canvas& cv, const DialogState& d, size_t i) {
    const DialogControl& c = d.controls[i];
    RECT r = c.rect;
    const bool pressed = d.pressed == static_cast<int>(i);
    if (IsDefaultLook(d, i)) {
        cv.Frame(r, kDark, kDark);
        r = Inset(r, 1);
    }
    int shift = 0;
    if (pressed) {
        cv.Frame(r, kShadow, kShadow);
        shift = 1;
    } else {
        cv.Frame(r, kLight, kDark);
        cv.Frame(Inset(r, 1), kFace, kShadow);
    }
    RECT inner = Inset(r, 2);
    cv.clip = inner;
    const int tx = inner.left + (inner.right - inner.left - DialogTextWidth(c.text)) / 2 + shift;
    cv.Text(tx, TextTop(inner) + shift, c.text, kDark);
    cv.Unclip();
    if (d.focus == static_cast<int>(i)) cv.DottedFrame(Inset(r, 3));
}

void PaintCheckBox(Canvas& cv, const DialogState& d, size_t i) {
    const DialogControl& c = d.controls[i];
    const int top = c.rect.top + (c.rect.bottom - c.rect.top - kCheckBoxSize) / 2;
    const RECT box{c.rect.left, top, c.rect.left + kCheckBoxSize, top + kCheckBoxSize};
    cv.Frame(box, kShadow, kLight);
    cv.Frame(Inset(box, 1), kDark, kFace);
    cv.Fill(Inset(box, 2), d.pressed == static_cast<int>(i) ? kFace : kWindow);
    if (c.check == BST_CHECKED) {
        // A tick: down-right three pixels, then up-right four, three pixels thick.
        const int x0 = box.left + 3, y0 = box.top + 5;
        for (int k = 0; k < 7; k++) {
            const int y = k < 3 ? y0 + k : y0 + 4 - k;
            for (int t = 0; t < 3; t++) cv.Pixel(x0 + k, y + t, kDark);
        }
    }
    const int tx = box.right + 4;
    RECT textRect{tx, c.rect.top, c.rect.right, c.rect.bottom};
    cv.clip = textRect;
    cv.Text(tx, TextTop(c.rect), c.text, kDark);
    cv.Unclip();
    if (d.focus == static_cast<int>(i)) {
        const int w = DialogTextWidth(c.text);
        RECT focus{tx - 2, TextTop(c.rect) - 1, tx + w + 2, TextTop(c.rect) + kGdiFontHeight + 1};
        if (focus.right > c.rect.right) focus.right = c.rect.right;
        cv.DottedFrame(focus);
    }
}

void PaintDownArrow(Canvas& cv, const RECT& r, int shift) {
    const int cx = (r.left + r.right) / 2 - 1 + shift, cy = (r.top + r.bottom) / 2 - 2 + shift;
    for (int row = 0; row < 4; row++)
        for (int x = cx - 3 + row; x <= cx + 3 - row; x++) cv.Pixel(x, cy + row, kDark);
}

void PaintCombo(Canvas& cv, const DialogState& d, size_t i) {
    const DialogControl& c = d.controls[i];
    const RECT& r = c.rect;
    cv.Frame(r, kShadow, kLight);
    cv.Frame(Inset(r, 1), kDark, kFace);
    RECT field = Inset(r, 2);
    cv.Fill(field, kWindow);
    const bool open = d.dropped && d.focus == static_cast<int>(i);
    RECT button{field.right - kComboButtonWidth, field.top, field.right, field.bottom};
    if (open) {
        cv.Frame(button, kShadow, kShadow);
        cv.Fill(Inset(button, 1), kFace);
    } else {
        cv.Frame(button, kFace, kDark);
        cv.Frame(Inset(button, 1), kLight, kShadow);
        cv.Fill(Inset(button, 2), kFace);
    }
    PaintDownArrow(cv, button, open ? 1 : 0);
    RECT text{field.left + 1, field.top + 1, button.left - 1, field.bottom - 1};
    const bool focused = d.focus == static_cast<int>(i);
    if (focused) {
        cv.Fill(text, kHighlight);
        cv.DottedFrame(text);
    }
    if (c.selection >= 0 && c.selection < static_cast<int>(c.items.size())) {
        cv.clip = Inset(text, 1);
        cv.Text(text.left + 2, TextTop(text), c.items[static_cast<size_t>(c.selection)],
                focused ? kHighlightText : kDark);
        cv.Unclip();
    }
}

// The open list, in its own image: the host shows it over the dialog and the controls below.
void PaintList(Canvas& cv, const DialogState& d, const DialogControl& c) {
    const RECT list = DialogListRect(c);
    cv.Frame(list, kDark, kDark);
    RECT inside = Inset(list, 1);
    cv.Fill(inside, kWindow);
    const int count = static_cast<int>(c.items.size());
    const int visible = VisibleListItems(c);
    RECT lines = inside;
    if (count > visible) {
        // A scroll bar: track and a thumb as long as the visible share, where the view is.
        RECT bar{inside.right - kComboButtonWidth, inside.top, inside.right, inside.bottom};
        lines.right = bar.left;
        cv.Fill(bar, 0xE0E0E0);
        const int track = bar.bottom - bar.top;
        const int thumb = track * visible / count < 8 ? 8 : track * visible / count;
        const int at = bar.top + (track - thumb) * d.top / (count - visible);
        RECT t{bar.left, at, bar.right, at + thumb};
        cv.Fill(t, kFace);
        cv.Frame(t, kLight, kDark);
    }
    for (int k = 0; k < visible && d.top + k < count; k++) {
        const int item = d.top + k;
        RECT line{lines.left, lines.top + k * kListItemHeight, lines.right, lines.top + (k + 1) * kListItemHeight};
        const bool hot = item == d.hot;
        if (hot) cv.Fill(line, kHighlight);
        cv.clip = line;
        cv.Text(line.left + 2, line.top, c.items[static_cast<size_t>(item)], hot ? kHighlightText : kDark);
        cv.Unclip();
    }
}

}  // namespace

int DialogTextWidth(const std::string& text) {
    int w = 0;
    for (unsigned char ch : text) w += Advance(ch);
    return w > 0 ? w - 1 : 0;  // no gap after the last glyph
}

void PaintDialog(DialogState& d) {
    const RECT whole{0, 0, d.width, d.height};
    Canvas cv{d.image, whole, whole};
    cv.Fill(cv.clip, kFace);
    for (size_t i = 0; i < d.controls.size(); i++) {
        const DialogControl& c = d.controls[i];
        switch (c.kind) {
            case DialogControlKind::PushButton: PaintButton(cv, d, i); break;
            case DialogControlKind::CheckBox: PaintCheckBox(cv, d, i); break;
            case DialogControlKind::ComboBox: PaintCombo(cv, d, i); break;
            case DialogControlKind::Static:
                cv.clip = c.rect;
                cv.Text(c.rect.left, c.rect.top, c.text, kDark);
                cv.Unclip();
                break;
        }
    }
}

void PaintDialogList(DialogState& d) {
    if (!d.dropped || d.focus < 0) return;
    const DialogControl& combo = d.controls[static_cast<size_t>(d.focus)];
    d.listRect = DialogListRect(combo);
    const RECT& r = d.listRect;
    d.listImage.assign(static_cast<size_t>(r.right - r.left) * (r.bottom - r.top), kWindow);
    Canvas cv{d.listImage, r, r};
    PaintList(cv, d, combo);
}
