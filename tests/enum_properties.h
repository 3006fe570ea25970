// Enumeration properties against numbers that are none of their type's values, as a cast or the
// property system hands them to a setter.
#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QVariant>
#include <gtest/gtest.h>

namespace znq::testing_support {

// Every writable enumeration property that object's classes declare (flags aside) refuses such a
// number with Error, through setProperty, which raises it, and keeps its value; a name that is none
// of the enumeration's keys is refused by the property system itself (false). Returns how many
// properties it checked.
template <typename Error> int ExpectEnumsRefuseUnknownValues(QObject& object)
{
    const QMetaObject* meta = object.metaObject();
    int checked = 0;
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        // Qt's own properties (a widget's focus policy) are Qt's business.
        if (!property.isEnumType() || property.isFlagType() || !property.isWritable()
            || !QByteArray(property.enclosingMetaObject()->className()).startsWith("znq::"))
            continue;
        const QVariant before = property.read(&object);
        for (const int value : { property.enumerator().keyCount(), 200, 255 }) {
            if (property.enumerator().valueToKey(value))
                continue;
            EXPECT_THROW(object.setProperty(property.name(), value), Error)
                << meta->className() << "::" << property.name() << " = " << value;
            EXPECT_EQ(property.read(&object), before) << property.name() << " = " << value;
        }
        EXPECT_FALSE(object.setProperty(property.name(), QStringLiteral("noSuchValue")))
            << property.name();
        EXPECT_EQ(property.read(&object), before) << property.name();
        ++checked;
    }
    return checked;
}

} // namespace znq::testing_support
