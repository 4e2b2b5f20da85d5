// Printing through a real print spooler: a private CUPS daemon with one PDF
// printer that holds its jobs, so that what reached it can be counted.
#include "ModalDialogs.h"
#include "PrivateSpooler.h"

#include "common/ui/Printers.h"
#include "viewer/print/PrintWindow.h"
#include "viewer/print/frmPrint.h"

#include "support/Controls.h"
#include "support/FakePlatform.h"

#include <QSpinBox>

#include <gtest/gtest.h>

#include <memory>

using namespace tolva;
using namespace tolva::testing;

namespace {

// The spooler's printer is the print window's, and three copies chosen in
// Qt's print dialog reach the spooler as one job of three pages.
TEST(Spooler, ThreeCopiesInQtsPrintDialogAreOneJobOfThreePages)
{
    // Before anything asks for printers: the printing library keeps the
    // first server it reaches.
    PrivateSpooler spooler;
    if (!spooler.failure().isEmpty())
        GTEST_SKIP() << spooler.failure().toStdString();
    RecordingMessages messages;
    QWidget viewer;
    QImage picture(450, 300, QImage::Format_RGB32);
    picture.fill(Qt::black);
    std::unique_ptr<print::frmPrint> window(print::ShowPrintWindow(&viewer, picture, {.messages = &messages}));
    EXPECT_EQ(InstalledPrinterNames(), QStringList{PrivateSpooler::kPrinter});
    EXPECT_EQ(ShownText(Control(window.get(), "labPrinter")).toStdString(), "Print to: TolvaPDF");

    const QStringList opened = AnswerDialogs([&window] { ClickLikeAUser(Control(window.get(), "cmdPrint")); },
                                             [](QDialog* dialog) {
                                                 auto* copies = Control<QSpinBox>(dialog, "copies");
                                                 copies->selectAll();
                                                 QTest::keyClicks(copies, "3");
                                                 Press(dialog, QDialogButtonBox::Ok);
                                             });
    EXPECT_EQ(opened, QStringList{"QPrintDialog"});
    EXPECT_TRUE(messages.reports.isEmpty()) << messages.reports.value(0).text.toStdString();
    const QList<PrivateSpooler::Job> jobs = spooler.jobs();
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].documents, 1);
    EXPECT_EQ(jobs[0].pages, 3);
    EXPECT_EQ(jobs[0].copies, 1) << "the copies are pages of their own";
}

} // namespace
