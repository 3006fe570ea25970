// The form designer's plugin as the designer and form loaders use it: the collection found on the
// plugin path with its three widgets in the "Polar chart" group, and a form holding a chart, a
// read-out and an input field with properties that differ from the defaults, loaded through
// QUiLoader.
#include <QFile>
#include <QPluginLoader>
#include <QUiLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString pluginDir = QStringLiteral(ZNQ_DESIGNER_PLUGIN_DIR);

} // namespace

TEST(DesignerPlugin, OffersTheThreeWidgetsInTheirGroup)
{
    QPluginLoader plugin(pluginDir + QStringLiteral("/libznq_designer.so"));
    QObject* instance = plugin.instance();
    ASSERT_NE(instance, nullptr) << plugin.errorString().toStdString();
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(instance);
    ASSERT_NE(collection, nullptr);
    QStringList names;
    for (QDesignerCustomWidgetInterface* widget : collection->customWidgets()) {
        names << widget->name();
        EXPECT_EQ(widget->group(), QStringLiteral("Polar chart"));
        EXPECT_TRUE(widget->domXml().contains(widget->name()));
        std::unique_ptr<QWidget> created(widget->createWidget(nullptr));
        ASSERT_NE(created, nullptr);
        EXPECT_EQ(QString::fromLatin1(created->metaObject()->className()), widget->name());
    }
    EXPECT_EQ(names,
        (QStringList { QStringLiteral("znq::TPolChart"), QStringLiteral("znq::TNumLab"),
            QStringLiteral("znq::TNumIO") }));
}

TEST(DesignerPlugin, FormLoaderCreatesTheWidgetsWithTheirProperties)
{
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(pluginDir);
    EXPECT_TRUE(loader.availableWidgets().contains(QStringLiteral("znq::TPolChart")));
    QFile form(QStringLiteral(ZNQ_TEST_FORM));
    ASSERT_TRUE(form.open(QIODevice::ReadOnly));
    std::unique_ptr<QWidget> root(loader.load(&form));
    ASSERT_NE(root, nullptr) << loader.errorString().toStdString();
    EXPECT_TRUE(loader.errorString().isEmpty()) << loader.errorString().toStdString();

    // The widgets come from the plugin's own copy of the library, so they are read through their
    // meta objects, as any form loader's user would.
    QWidget* chart = root->findChild<QWidget*>(QStringLiteral("chart"));
    ASSERT_NE(chart, nullptr);
    EXPECT_STREQ(chart->metaObject()->className(), "znq::TPolChart");
    EXPECT_EQ(chart->property("RangeHigh").toDouble(), 20.0);
    EXPECT_EQ(chart->property("MagFactor").toDouble(), 0.5);
    EXPECT_FALSE(chart->property("UseDegrees").toBool());
    EXPECT_EQ(chart->property("ShadowWidth").toInt(), 4);
    EXPECT_EQ(chart->property("ShadowStyle").toInt(), 1) << "ssBox";
    EXPECT_EQ(chart->property("GridColor").toUInt(), 255u);
    EXPECT_EQ(chart->size(), QSize(300, 300));

    QWidget* readOut = root->findChild<QWidget*>(QStringLiteral("readOut"));
    ASSERT_NE(readOut, nullptr);
    EXPECT_STREQ(readOut->metaObject()->className(), "znq::TNumLab");
    EXPECT_EQ(readOut->property("LeftText").toString(), QStringLiteral("Rad"));
    EXPECT_EQ(readOut->property("Precision").toInt(), 3);
    EXPECT_EQ(readOut->property("Value").toDouble(), 2.5);

    QWidget* input = root->findChild<QWidget*>(QStringLiteral("input"));
    ASSERT_NE(input, nullptr);
    EXPECT_STREQ(input->metaObject()->className(), "znq::TNumIO");
    EXPECT_EQ(input->property("InputFormat").toInt(), 3) << "itInt";
}
