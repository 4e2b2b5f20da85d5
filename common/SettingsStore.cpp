#include "common/SettingsStore.h"

#include <charconv>

namespace tolva {

SettingsStore::SettingsStore()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope,
                 QStringLiteral("Mossane"), QStringLiteral("Tolva3"))
{
    // One per-user store: a key missing here reads as the caller's default,
    // never as a value from a maker-wide "Mossane.conf" or a system folder.
    m_settings.setFallbacksEnabled(false);
}

QString SettingsStore::KeyPath(const QString& section, const QString& key)
{
    QString path = section;
    path.replace(u'\\', u'/');
    if (!path.isEmpty() && !path.endsWith(u'/'))
        path += u'/';
    return path + QString(key).replace(u'\\', u'/');
}

QString SettingsStore::ReadSetting(const QString& section, const QString& key,
                                   const QVariant& defaultValue) const
{
    // QSettings keeps what it read; sync() re-reads the file when another
    // process (the simulator, the settings tool) has changed it since.
    m_settings.sync();
    const QVariant value = m_settings.value(KeyPath(section, key));
    if (!value.isValid())
        return ValueText(defaultValue);
    // The INI reader turns an unquoted "a, b" written by another program into a
    // list; hand it back as the text it was.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

bool SettingsStore::WriteSetting(const QString& section, const QString& key, const QVariant& value)
{
    m_settings.setValue(KeyPath(section, key), ValueText(value));
    // Write through at once: the simulator and the other tool read this file.
    m_settings.sync();
    // A FormatError only says that the file held lines that could not be
    // read; the value is written all the same.
    return m_settings.status() != QSettings::AccessError;
}

QString SettingsStore::fileName() const
{
    return m_settings.fileName();
}

namespace {

template <typename T>
QString shortestText(T value)
{
    char buffer[400]; // the widest double in plain digits has 309 before the point
    // Plain decimal digits, never an exponent ("100000", not "1e+05"): the
    // fewest digits after the point that still read back as the same value.
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc())
        return QString::number(double(value));
    return QString::fromLatin1(buffer, end - buffer);
}

} // namespace

QString SettingsStore::ValueText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? settings::kTrue : settings::kFalse;
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::SChar:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return QString::number(value.toULongLong());
    case QMetaType::Float:
        return shortestText(value.toFloat());
    case QMetaType::Double:
        return shortestText(value.toDouble());
    default:
        return value.toString();
    }
}

QString CentredPosition(double screenSize, double windowSize)
{
    return SettingsStore::ValueText(float((screenSize - windowSize) / 2));
}

} // namespace tolva
