// The demonstration program: one window with a polar chart and its control panel. With
// "--save FILE" it saves the chart as the window first shows it (any format SaveImage writes) and
// ends, for the documentation's pictures.
#include "mainfrm.h"
#include "znq_application.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    znq::TApplication app(argc, argv);
    app.SetTitle("polchart-demo");
    znq::TFrmPolChart form;
    form.show();
    if (argc > 2 && std::strcmp(argv[1], "--save") == 0) {
        QCoreApplication::processEvents();
        try {
            form.PC->SaveImage(argv[2]);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
        return 0;
    }
    return app.exec();
}
