// The form designer's plugin: the chart, the read-out and the input field in a "Polar chart" group
// of the widget box. Their published properties are Qt properties, which the designer edits and
// writes into the form; a form loader creates the widgets through the same plugin.
#include "ZNQ_NumIO.h"
#include "ZNQ_NumLab.h"
#include "ZNQ_polchart.h"

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <functional>

namespace znq {

namespace {

    // One widget class of the box: its name as the form writes it, its header, its default size
    // and tool tip, and how to create it.
    class WidgetEntry : public QObject, public QDesignerCustomWidgetInterface {
        Q_OBJECT
        Q_INTERFACES(QDesignerCustomWidgetInterface)

    public:
        WidgetEntry(QString className, QString header, QSize size, QString toolTip,
            std::function<QWidget*(QWidget*)> create, QObject* parent)
            : QObject(parent)
            , m_className(std::move(className))
            , m_header(std::move(header))
            , m_size(size)
            , m_toolTip(std::move(toolTip))
            , m_create(std::move(create))
        {
        }

        QString name() const override { return m_className; }
        QString group() const override { return QStringLiteral("Polar chart"); }
        QString toolTip() const override { return m_toolTip; }
        QString whatsThis() const override { return m_toolTip; }
        QString includeFile() const override { return m_header; }
        QIcon icon() const override { return {}; }
        bool isContainer() const override { return false; }
        QWidget* createWidget(QWidget* parent) override { return m_create(parent); }
        bool isInitialized() const override { return m_initialized; }
        void initialize(QDesignerFormEditorInterface*) override { m_initialized = true; }
        QString domXml() const override
        {
            // The object name is the class name without its namespace, in lower case.
            const QString objectName = m_className.section(QStringLiteral("::"), -1).toLower();
            return QStringLiteral("<ui language=\"c++\"><widget class=\"%1\" name=\"%2\">"
                                  "<property name=\"geometry\"><rect><x>0</x><y>0</y>"
                                  "<width>%3</width><height>%4</height></rect></property>"
                                  "</widget></ui>")
                .arg(m_className, objectName)
                .arg(m_size.width())
                .arg(m_size.height());
        }

    private:
        QString m_className, m_header;
        QSize m_size;
        QString m_toolTip;
        std::function<QWidget*(QWidget*)> m_create;
        bool m_initialized = false;
    };

} // namespace

class PolarChartWidgets : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit PolarChartWidgets(QObject* parent = nullptr)
        : QObject(parent)
    {
        m_widgets.append(new WidgetEntry(
            QStringLiteral("znq::TPolChart"), QStringLiteral("ZNQ_polchart.h"), QSize(240, 160),
            QStringLiteral("A polar chart with grid, scales, data, crosshairs and text labels"),
            [](QWidget* owner) { return new TPolChart(owner); }, this));
        m_widgets.append(new WidgetEntry(
            QStringLiteral("znq::TNumLab"), QStringLiteral("ZNQ_NumLab.h"), QSize(169, 22),
            QStringLiteral("A numeric read-out with side texts"),
            [](QWidget* owner) { return new TNumLab(owner); }, this));
        m_widgets.append(new WidgetEntry(
            QStringLiteral("znq::TNumIO"), QStringLiteral("ZNQ_NumIO.h"), QSize(121, 21),
            QStringLiteral(
                "A numeric input field that accepts only numbers in its format and range"),
            [](QWidget* owner) { return new TNumIO(owner); }, this));
    }

    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return m_widgets; }

private:
    QList<QDesignerCustomWidgetInterface*> m_widgets;
};

} // namespace znq

#include "znq_designer.moc"
