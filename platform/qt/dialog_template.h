#pragma once
// Dialogs built from layout data, as the platform the system comes from builds them from
// dialog templates: a size and font in dialog units, and every control with its id, kind,
// text and rectangle in dialog units.
//
// Dialog units become pixels from the font's average character width and height:
// x = units * averageWidth / 4, y = units * height / 8 (rounded). Controls are placed by
// absolute geometry so the arrangement matches the layout tables in every language.

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QWidget;

namespace platform {

class Dialog;

enum class ControlKind {
    Label,            // static text
    SunkenText,       // static text in a sunken frame (status fields, path displays)
    GroupBox,         // frame with an optional title; no id
    PushButton,
    CheckBox,
    DropList,         // drop-down list; height includes the dropped-down part (the closed
                      // box is kClosedDropListDlu high, the rest is the length of the list)
    Edit,             // single-line edit
    NumberEdit,       // single-line edit taking digits only
    MultiLineEdit,    // multi-line edit with a vertical scroll bar
    TabControl,
    IpAddress,        // four 0-255 fields with dots
    Icon,             // picture showing an icon
    PushPin,          // owner-drawn push-pin button
    ListView,         // report list with check boxes, grid lines, full-row select, no header
};

// Style bits that change how a control of a kind looks or behaves.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kStyleCentered = 1u << 0,   // centred text
    kStyleMultiLine = 1u << 1,  // button text on two lines
    kStyleHidden = 1u << 2,     // not visible
    kStyleDisabled = 1u << 3,
    kStylePathEllipsis = 1u << 4,  // long path shortened in its middle
    kStyleWantReturn = 1u << 5,    // Enter inserts a line break
};

struct ControlTemplate {
    int id = -1;  // -1: a label or frame without id
    ControlKind kind = ControlKind::Label;
    QString text;          // for lists: the fixed items, separated by '\n'
    QRect dlu;             // left, top, width, height in dialog units
    unsigned style = kStyleNone;
};

struct DialogTemplate {
    int layoutId = 0;
    QSize dlu;             // client size in dialog units
    QString fontFamily;    // the family that stands in for the original face
    QStringList fontFallbacks;  // tried in order when fontFamily lacks a character
    int pointSize = 9;
    bool minimizeBox = false;
    bool child = false;    // a page embedded in another window, not a window of its own
    std::vector<ControlTemplate> controls;
};

// Height of a closed drop-down list in dialog units: one row, like an edit field next to it.
constexpr int kClosedDropListDlu = 12;

// The font a template asks for: its family, then the fallbacks, at its point size.
QFont TemplateFont(const DialogTemplate& tmpl);

// Converts dialog units of one font to pixels. The average character width is measured as
// the platform the layouts come from measures it: the advance of "A".."Z" "a".."z" (52
// characters) divided by 26, plus one, halved (integer division), i.e. the 52-character
// average rounded half up. The height is QFontMetrics::height() (ascent + descent).
// Rect() maps the left/top and right/bottom edges, so controls that touch in dialog units
// touch in pixels too.
class DluConverter {
public:
    explicit DluConverter(const QFont& font);
    DluConverter(int averageCharWidth, int charHeight) : avgWidth_(averageCharWidth), height_(charHeight) {}
    int X(int units) const;
    int Y(int units) const;
    QRect Rect(const QRect& dlu) const;
    QSize Size(const QSize& dlu) const;
    int AverageCharWidth() const { return avgWidth_; }
    int CharHeight() const { return height_; }

private:
    int avgWidth_;
    int height_;
};

// Sets the dialog's font and fixed client size and creates every control of the template
// as a child (registered by id when it has one), placed by absolute geometry. Returns the
// converter used, so callers can place things later the same way.
//
// The top-level window gets a caption, system menu and close box, a minimise box when the
// template has one, and no maximise box. A child template turns the dialog into a plain child
// widget (no window of its own) for embedding in its parent.
//
// Widgets by kind: Label QLabel; SunkenText QLabel with a sunken panel frame (path ellipsis
// elides the middle when drawn, text() keeps the whole text); GroupBox QGroupBox, kept below
// the other controls; PushButton QPushButton; CheckBox QCheckBox (a line break in its text is
// drawn as a blank unless kStyleMultiLine); DropList non-editable QComboBox with the fixed
// items; Edit QLineEdit; NumberEdit QLineEdit taking digits 0-9 only; MultiLineEdit
// QPlainTextEdit with a vertical scroll bar (Tab moves the focus; Enter is left to the dialog
// unless kStyleWantReturn); TabControl platform::TabControl; IpAddress
// platform::IpAddressEdit; Icon centred QLabel (pixmap set by the window); PushPin plain
// QPushButton; ListView QTreeWidget with three columns, header hidden, no root decoration,
// full-row single selection and grid lines.
DluConverter BuildFromTemplate(Dialog& dialog, const DialogTemplate& tmpl);

// Makes the widget of one control; nullptr leaves the control to the default widget of its
// kind. The builder places what it returns, applies kStyleHidden and kStyleDisabled and
// registers it by id; everything else (text included) is the factory's.
using ControlFactory = std::function<QWidget*(const ControlTemplate& control, QWidget* parent)>;
DluConverter BuildFromTemplate(Dialog& dialog, const DialogTemplate& tmpl, const ControlFactory& factory);

}  // namespace platform
