// The floor under the program's start: a bare Qt Widgets dialog with the disclaimer's title and
// size, shown at once. Built twice, alone and linked to Qt WebEngine (no web view created), so
// that bench_start can tell the toolkit's cost from the page engine's. Ends when closed.
#include <QApplication>
#include <QDialog>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Tavrix - System Memory Information"));
    dialog.setFixedSize(410, 322);
    dialog.show();
    return application.exec();
}
