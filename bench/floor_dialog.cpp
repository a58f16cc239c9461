// The floor under the program's start: a bare Qt Widgets dialog with the disclaimer's title and
// size, shown at once. Built twice, alone and linked to Qt WebEngine (no web view created), so
// that bench_start can tell the toolkit's cost from the page engine's. With --text it shows a line
// of text as well, which costs the start of the font configuration that any window with text
// pays. Ends when closed.
#include <QApplication>
#include <QDialog>
#include <QLabel>

#include <cstring>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Tavrix - System Memory Information"));
    dialog.setFixedSize(410, 322);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) new QLabel(QStringLiteral("Tavrix"), &dialog);
    dialog.show();
    return application.exec();
}
