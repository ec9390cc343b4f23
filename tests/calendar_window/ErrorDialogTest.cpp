// The unhandled-exception dialog after a failure while the calendar window opens: both of its
// buttons end the program, and the half-built window writes nothing on the way out. Each
// case runs in a fresh copy of this test program, since it really quits.
#include "CalendarWindowFixture.h"
#include "UrlRecorder.h"
#include "data/WeekGrid.h"
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdlib>
#include <stdexcept>

namespace {

const QByteArray kSeed = "1\tKeep me\nEvents Data:\n";

// Exit codes of the child run: 0 when all went as it should.
enum Outcome { Quit = 0, StillRunning = 3, NoMailLink = 4, FileChanged = 5 };

// Opens the calendar window over an entry the week grid reports; the report throws, and the
// error dialog is answered with answer. Ends the process with its Outcome.
[[noreturn]] void failWhileOpeningAndAnswer(const SandboxHome& home, MessageBox::Button answer)
{
    QDir().mkpath(home.documentsFolder());
    const QString path = home.documentsFolder() + "/Calendar.tpc";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(kSeed) != kSeed.size())
        std::_Exit(FileChanged);
    file.close();
    App().keptTodoLines = {"1\tKeep me"};
    App().eventDict.SetValue("2025-06-18 09:00:00", "junk//Broken");
    App().selectedDate = Date(2025, 6, 18, 12, 0, 0);
    UrlRecorder links;
    MessageBox::SetInterceptor([answer](const MessageBox::Dialog& d) {
        if (d.message == WeekGrid::FillErrorMessage)
            throw std::runtime_error("injected");
        return answer;
    });
    QTimer::singleShot(0, qApp, [] {
        try {
            CalendarWindow::Instance();
        } catch (const std::exception& e) {
            App().ReportException(&e);
        }
    });
    QTimer::singleShot(5000, qApp, [] { std::_Exit(StillRunning); });
    const int status = QApplication::exec();
    if (answer == MessageBox::Button::Alternate
        && (links.opened.size() != 1 || !links.opened.first().startsWith("mailto:")))
        std::_Exit(NoMailLink);
    QFile again(path);
    if (!again.open(QIODevice::ReadOnly) || again.readAll() != kSeed)
        std::_Exit(FileChanged);
    std::_Exit(status);
}

class ErrorDialog : public CalendarWindowFixture
{
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        CalendarWindowFixture::SetUp();
    }
};

} // namespace

TEST_F(ErrorDialog, FeedbackOpensTheMailLinkThenQuitsLeavingTheFileAlone)
{
    EXPECT_EXIT(failWhileOpeningAndAnswer(home, MessageBox::Button::Alternate), testing::ExitedWithCode(Quit), "");
}

TEST_F(ErrorDialog, QuitLeavesTheFileAlone)
{
    EXPECT_EXIT(failWhileOpeningAndAnswer(home, MessageBox::Button::Action), testing::ExitedWithCode(Quit), "");
}
