// The demonstration program: one window with a polar chart and its control panel.
#include "mainfrm.h"
#include "znq_application.h"

int main(int argc, char** argv)
{
    znq::TApplication app(argc, argv);
    app.SetTitle("polchart-demo");
    znq::TFrmPolChart form;
    form.show();
    return app.exec();
}
