// The start-up benchmark's baseline: a bare QMainWindow in a program that links Qt Widgets
// and nothing else, as any small Qt program would.
#include "firstpaint.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    FirstPaint firstPaint;
    QMainWindow window;
    window.installEventFilter(&firstPaint);
    window.show();
    return QApplication::exec();
}
