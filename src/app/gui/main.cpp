// The program entry: the window program "テルヴァン".
#include "acquisition/JVLink.h"
#include "acquisition/JVLinkStandIn.h"
#include "app/gui/MainForm.h"
#include "app/gui/Translations.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "widgets/Fonts.h"
#include "widgets/QtNotifier.h"

#include <QApplication>
#include <QDir>

#include <clocale>
#include <memory>

int main(int argc, char** argv)
{
    using namespace tervan;
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C"); // the application object took the user's locale; numbers stay "12.3"
    InstallJapaneseFonts();
    InstallJapaneseTranslations();
    // The application title (captions of the message boxes).
    QApplication::setApplicationName(QString::fromUtf8("テルヴァン"));
    QtNotifier notifier;

    // The base folder is the executable's folder, made the current directory.
    const std::string base = fs::ExecutableDir();
    QDir::setCurrent(QString::fromStdString(fs::ToNative(base).string()));

    // JV-Link presence test: create the component and release it at once
    // (on Windows the installed control, through COM). Where none is
    // installed, "--stand-in" runs the program on the stand-in and its
    // sample feed instead; an installed JV-Link is always the one used.
    std::unique_ptr<IJVLink> standIn;
    if (!CreateJVLink(base)) {
        if (!QCoreApplication::arguments().contains(QStringLiteral("--stand-in"))) {
            notifier.Beep();
            notifier.Information(SJ("JRA-VANのホームページより【JV-Link】を入手し、インストールしてください。"));
            return 1;
        }
        standIn = std::make_unique<JVLinkStandIn>(base);
    }

    std::unique_ptr<TMainForm> form;
    try {
        TMainForm::Options options;
        options.base = base;
        options.executableStem = fs::ExecutableStem();
        options.jvlink = std::move(standIn);
        form = std::make_unique<TMainForm>(std::move(options));
    } catch (const std::exception& e) {
        // A folder that cannot be made: the window would be half prepared.
        notifier.Beep();
        notifier.Information(e.what());
        return 1;
    }
    form->show();
    return app.exec();
}
