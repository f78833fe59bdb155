#pragma once

#include <QDialog>

namespace vocalix::windows {

// The about box: the program's name, version, a short description and OK.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace vocalix::windows
