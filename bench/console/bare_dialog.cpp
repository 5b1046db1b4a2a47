// The reference of the console benchmark: a bare Qt Widgets program that shows one small
// dialog, and says so on standard output once the dialog is on screen.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle("bare");
    auto* form = new QFormLayout(&dialog);
    auto* account = new QComboBox(&dialog);
    account->setEditable(true);
    form->addRow("account", account);
    auto* password = new QLineEdit(&dialog);
    password->setEchoMode(QLineEdit::Password);
    form->addRow("password", password);
    form->addRow(new QPushButton("OK", &dialog));
    dialog.show();
    // The first turn of the event loop after show: the dialog has been laid out and painted.
    QTimer::singleShot(0, [] {
        std::printf("bare: dialog shown\n");
        std::fflush(stdout);
    });
    return application.exec();
}
