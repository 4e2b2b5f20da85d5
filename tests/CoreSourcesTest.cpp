// The core (common, terrain, render, phase, record) is tested and used without
// a window: none of its sources, nor any project header they include, may
// include a widget header, whether a QtWidgets class, a form generated from a
// .ui file or the widget side of common/ui. The list of sources comes from the
// core targets themselves (written at configure time), so a file added to a
// core library is checked too.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <set>

namespace {

// A quoted include found beside the including file or under one of the core's
// include folders; empty when it is none of the project's files.
QString ProjectFile(const QString& includer, const QString& name)
{
    const QString root = QStringLiteral(TOLVA_SOURCE_DIR);
    for (const QString& dir : {QFileInfo(includer).path(), root, root + "/viewer", root + "/editor"})
        if (QFileInfo info(dir + u'/' + name); info.isFile())
            return info.canonicalFilePath();
    return {};
}

// The includes of `source`, and of the project headers it includes, that
// bring widgets in.
QStringList WidgetIncludes(const QString& source, const QDir& widgetHeaders, std::set<QString>& seen)
{
    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"),
                                            QRegularExpression::MultilineOption);
    if (!seen.insert(source).second)
        return {};
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return {source + QStringLiteral(" (cannot be read)")};
    QStringList found;
    for (auto m = include.globalMatch(QString::fromUtf8(file.readAll())); m.hasNext();) {
        const auto match = m.next();
        const QString name = match.captured(2);
        const bool widgets = name == u"QtWidgets" || name.startsWith(u"QtWidgets/")
            || (!name.contains(u'/') && widgetHeaders.exists(name)) || name.startsWith(u"ui_")
            || name.startsWith(u"common/ui/");
        if (widgets)
            found << name;
        else if (const QString header = ProjectFile(source, name); match.captured(1) == u"\"" && !header.isEmpty())
            for (const QString& inner : WidgetIncludes(header, widgetHeaders, seen))
                found << inner + QStringLiteral(" (through ") + name + u')';
    }
    return found;
}

TEST(CoreSources, IncludeNoWidgetHeader)
{
    const QDir widgetHeaders(QStringLiteral(TOLVA_QT_WIDGETS_HEADERS));
    ASSERT_TRUE(widgetHeaders.exists(QStringLiteral("QWidget"))) << TOLVA_QT_WIDGETS_HEADERS;
    QFile list(QStringLiteral(TOLVA_CORE_SOURCES));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly)) << TOLVA_CORE_SOURCES;
    const QStringList sources = QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts);
    // Every core library lists its sources, the record format's reader among them.
    ASSERT_GT(sources.size(), 30);
    ASSERT_TRUE(sources.filter(QStringLiteral("editor/record/RecordReader.cpp")).size() == 1);
    for (const QString& source : sources) {
        std::set<QString> seen;
        const QStringList found = WidgetIncludes(source, widgetHeaders, seen);
        EXPECT_TRUE(found.isEmpty()) << qPrintable(source) << " includes " << qPrintable(found.join(u", "));
    }
}

} // namespace
