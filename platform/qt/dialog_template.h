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
    DropList,         // drop-down list; height includes the dropped-down part
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
    int pointSize = 9;
    bool minimizeBox = false;
    std::vector<ControlTemplate> controls;
};

// Converts dialog units of one font to pixels.
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
DluConverter BuildFromTemplate(Dialog& dialog, const DialogTemplate& tmpl);

}  // namespace platform
