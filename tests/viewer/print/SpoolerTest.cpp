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

class SpoolerTest : public ::testing::Test {
protected:
    // One daemon for the whole program: the printing library keeps the
    // first server it reaches.
    static void SetUpTestSuite() { spooler = std::make_unique<PrivateSpooler>(); }
    static void TearDownTestSuite() { spooler.reset(); }
    void SetUp() override
    {
        if (!spooler->failure().isEmpty())
            GTEST_SKIP() << spooler->failure().toStdString();
        earlierJobs = spooler->jobs().size();
        picture.fill(Qt::black);
        window.reset(print::ShowPrintWindow(&viewer, picture, {.messages = &messages}));
    }

    static inline std::unique_ptr<PrivateSpooler> spooler;
    qsizetype earlierJobs = 0;
    RecordingMessages messages;
    QWidget viewer;
    QImage picture{450, 300, QImage::Format_RGB32};
    std::unique_ptr<print::frmPrint> window;
};

TEST_F(SpoolerTest, ItsPrinterIsFoundAndThePrintWindowPrintsToIt)
{
    EXPECT_EQ(InstalledPrinterNames(), QStringList{PrivateSpooler::kPrinter});
    EXPECT_TRUE(Control(window.get(), "cmdPrint")->isEnabled());
    EXPECT_EQ(ShownText(Control(window.get(), "labPrinter")).toStdString(), "Print to: TolvaPDF");
}

TEST_F(SpoolerTest, ThreeCopiesInQtsPrintDialogAreOneJobOfThreePages)
{
    const QStringList opened = AnswerDialogs([this] { ClickLikeAUser(Control(window.get(), "cmdPrint")); },
                                             [](QDialog* dialog) {
                                                 auto* copies = Control<QSpinBox>(dialog, "copies");
                                                 copies->selectAll();
                                                 QTest::keyClicks(copies, "3");
                                                 Press(dialog, QDialogButtonBox::Ok);
                                             });
    EXPECT_EQ(opened, QStringList{"QPrintDialog"});
    EXPECT_TRUE(messages.reports.isEmpty()) << messages.reports.value(0).text.toStdString();
    const QList<PrivateSpooler::Job> jobs = spooler->jobs().mid(earlierJobs);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].documents, 1);
    EXPECT_EQ(jobs[0].pages, 3);
    EXPECT_EQ(jobs[0].copies, 1) << "the copies are pages of their own";
}

} // namespace
