#include "mainfrm.h"

namespace znq {

TFrmPolChart::TFrmPolChart(QWidget* parent)
    : TForm(parent)
    , PC(new QWidget(this))
    , Panel1(new TPanel(this))
{
    setObjectName("FrmPolChart");
    SetCaption("Polar Diagram Using Component TPolChart");
    SetColor(clBtnFace);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-13);
    Font().SetColor(clWindowText);
    Font().SetStyle({});
    SetPosition(TPosition::poScreenCenter);
    // The designed outer size is 891 x 676 with a 4-pixel border and a 24-pixel caption; the
    // window manager adds its own frame around this client area.
    SetClientSize(DesignClientWidth, DesignClientHeight);

    PC->setObjectName("PC");
    PC->setGeometry(0, 0, 624, 648);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(624, 0, 259, 648);
}

} // namespace znq
