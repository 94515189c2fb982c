#include "app/BillApp.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication qapp(argc, argv);
    CBillApp app;
    return app.Run();
}
