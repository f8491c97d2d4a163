// vidorra-sim behind Qt's WinMain, as the program is started on Windows: the
// arguments main() receives and what the application object made of them,
// written to the file named by VIDORRA_ENTRY_REPORT, after which the window
// closes. Each argv entry must be the wide argument in the ANSI code page;
// the application object keeps the wide text and takes its own options.
#define main vidorraSimMain
#include "vidorra-sim.cpp"
#undef main

#include <QApplication>
#include <QFile>
#include <QStyle>
#include <QTimer>
#include <QWidget>

#include <windows.h>
#include <shellapi.h>

namespace {

QByteArray report;

QByteArray ansi(const wchar_t *wide)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    QByteArray bytes(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, bytes.data(), size, nullptr, nullptr);
    bytes.chop(1);
    return bytes;
}

void onApplication()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    QTimer::singleShot(0, [] {
        report += "style " + QApplication::style()->objectName().toUtf8() + '\n';
        for (const QString &argument : QCoreApplication::arguments().mid(1))
            report += "argument " + argument.toUtf8() + '\n';
        QFile out(qEnvironmentVariable("VIDORRA_ENTRY_REPORT"));
        if (out.open(QIODevice::WriteOnly))
            out.write(report);
        for (QWidget *w : QApplication::topLevelWidgets())
            w->close();
    });
}
Q_COREAPP_STARTUP_FUNCTION(onApplication)

}  // namespace

int main(int argc, char *argv[])
{
    int wideCount = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &wideCount);
    report += "acp " + QByteArray::number(GetACP()) + '\n';
    for (int i = 1; i < argc; ++i) {
        const bool asAnsi = wide && i < wideCount && ansi(wide[i]) == QByteArray(argv[i]);
        report += "argv " + QByteArray(argv[i]).toHex() + (asAnsi ? " ansi" : " not-ansi") + '\n';
    }
    LocalFree(wide);
    report += argv[argc] == nullptr ? "argv ends with null\n" : "argv does not end with null\n";
    const int result = vidorraSimMain(argc, argv);
    report += "exit " + QByteArray::number(result) + '\n';
    QFile out(qEnvironmentVariable("VIDORRA_ENTRY_REPORT"));
    if (out.open(QIODevice::WriteOnly))
        out.write(report);
    return result;
}
