// Every property's change signal, checked through the meta-object system as a Qt Quick binding
// sees it: each property has one, a write of another value emits it once, and a write of the value
// it already has emits nothing.
#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QSignalSpy>
#include <QVariant>
#include <gtest/gtest.h>

#include <cmath>

namespace znq::testing_support {

// A value of the property's type other than value: the next key of an enumeration, another flag
// set, the other truth value, a number one step on, a longer text. Invalid for other types.
inline QVariant OtherValue(const QMetaProperty& property, const QVariant& value)
{
    if (property.isFlagType())
        return QVariant(value.toInt() ^ property.enumerator().value(0));
    if (property.isEnumType()) {
        const QMetaEnum values = property.enumerator();
        for (int i = 0; i < values.keyCount(); ++i)
            if (values.value(i) == value.toInt())
                return QVariant(values.value((i + 1) % values.keyCount()));
        return QVariant(values.value(0));
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return QVariant(!value.toBool());
    case QMetaType::Int:
        return QVariant(value.toInt() + 1);
    case QMetaType::UInt:
        return QVariant(value.toUInt() ^ 0x10203u);
    case QMetaType::UChar:
        return QVariant::fromValue<uchar>(uchar(value.value<uchar>() + 1));
    case QMetaType::Double:
        return QVariant(std::isfinite(value.toDouble()) ? value.toDouble() + 1.5 : 1.5);
    case QMetaType::QString:
        return QVariant(value.toString() + QStringLiteral("x"));
    default:
        return {};
    }
}

// Checks every property that object's own classes declare (Qt's are Qt's business); returns how
// many it wrote. A write the object refuses (an exception, false) or clamps back to the old value
// must emit nothing.
template <typename Error> int ExpectEveryPropertyNotifiesOnce(QObject& object)
{
    const QMetaObject* meta = object.metaObject();
    int written = 0;
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!QByteArray(property.enclosingMetaObject()->className()).startsWith("znq::"))
            continue;
        const std::string name = std::string(meta->className()) + "::" + property.name();
        if (!property.hasNotifySignal()) {
            ADD_FAILURE() << name << " has no change signal";
            continue;
        }
        const QVariant before = property.read(&object);
        const QVariant other = OtherValue(property, before);
        if (!property.isWritable() || !other.isValid())
            continue;
        QSignalSpy spy(&object, property.notifySignal());
        try {
            property.write(&object, other);
        } catch (const Error&) {
        }
        const QVariant after = property.read(&object);
        EXPECT_EQ(spy.count(), after == before ? 0 : 1) << name << ": a write of another value";
        spy.clear();
        property.write(&object, after);
        EXPECT_EQ(spy.count(), 0) << name << ": a write of the value it has";
        ++written;
    }
    return written;
}

} // namespace znq::testing_support
