// The core (common, terrain, render, phase, record) is tested and used without
// a window: none of its sources may include a widget header, whether a QtWidgets
// class, a form generated from a .ui file or the widget side of common/ui. The
// list of sources comes from the core targets themselves (written at configure
// time), so a file added to a core library is checked too.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace {

QStringList CoreSources()
{
    QFile list(QStringLiteral(TOLVA_CORE_SOURCES));
    if (!list.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// The includes of `source` that bring widgets in.
QStringList WidgetIncludes(const QString& source, const QDir& widgetHeaders)
{
    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])"),
                                            QRegularExpression::MultilineOption);
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("(cannot read the file)")};
    QStringList found;
    for (auto m = include.globalMatch(QString::fromUtf8(file.readAll())); m.hasNext();) {
        const QString name = m.next().captured(1);
        const bool widgets = name == u"QtWidgets" || name.startsWith(u"QtWidgets/")
            || (!name.contains(u'/') && widgetHeaders.exists(name)) || name.startsWith(u"ui_")
            || name.startsWith(u"common/ui/");
        if (widgets)
            found << name;
    }
    return found;
}

TEST(CoreSources, IncludeNoWidgetHeader)
{
    const QDir widgetHeaders(QStringLiteral(TOLVA_QT_WIDGETS_HEADERS));
    ASSERT_TRUE(widgetHeaders.exists(QStringLiteral("QWidget"))) << TOLVA_QT_WIDGETS_HEADERS;
    const QStringList sources = CoreSources();
    // Every core library lists its sources, the record format's reader among them.
    ASSERT_GT(sources.size(), 30);
    ASSERT_TRUE(sources.filter(QStringLiteral("editor/record/RecordReader.cpp")).size() == 1);
    for (const QString& source : sources) {
        const QStringList found = WidgetIncludes(source, widgetHeaders);
        EXPECT_TRUE(found.isEmpty()) << qPrintable(source) << " includes " << qPrintable(found.join(u", "));
    }
}

} // namespace
