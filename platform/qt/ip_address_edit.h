#pragma once
// An IPv4 address field as operators know it: four fields of 0-255 separated by dots in one
// sunken box.
//
// Typing: digits only; a third digit, or a dot or blank after at least one digit, moves to
// the next field; a value above 255 becomes 255 when its field is left or filled. Backspace
// at the start of a field (or in an empty one) goes back to the end of the previous field,
// and so do Left and Right across field ends. Tab leaves the whole control.

#include <QFrame>

#include <array>

class QLineEdit;

namespace platform {

class IpAddressEdit : public QFrame {
    Q_OBJECT

public:
    explicit IpAddressEdit(QWidget* parent = nullptr);

    // Values outside 0-255 are clamped into it.
    void SetAddress(int a, int b, int c, int d);
    // The four values; an empty field reads 0.
    std::array<int, 4> Fields() const;
    bool IsBlank() const;  // all four fields empty
    void Clear();

    QLineEdit* Field(int index) const { return fields_[index]; }

signals:
    // Any field's text changed, by the operator or by program.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;

private:
    int IndexOf(const QObject* field) const;
    void ClampField(int index);
    void OnTextEdited(int index);
    void FocusField(int index, bool atEnd);
    void UpdateBackground();

    std::array<QLineEdit*, 4> fields_{};
};

}  // namespace platform
