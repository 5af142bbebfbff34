#pragma once

// The About box: the maker and the program's file name. Modal, created for each use.

#include <QDialog>
#include <QLabel>

namespace orvo::shell {

class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(QWidget* owner, const QString& caption);

    QWidget* Panel1;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
};

// The heading of every configuration file, and the maker's name in the About box.
inline constexpr const char* kCompanyName = "ORVO Anglemetry";

}  // namespace orvo::shell
