#pragma once
// The About box: icon, title, description, a notice and an OK button. It
// closes by OK, Escape or its close box.

#include <QDialog>

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);

    // Shows a new box modally over `parent` and destroys it when it closes.
    static void Show(QWidget* parent);
};
