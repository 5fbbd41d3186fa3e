#include "platform/system/MessageBox.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

std::atomic<bool> gUnattended{false};
std::mutex gHookLock;
TMessageLogSink gSink;
TMessageBoxHandler gHandler;

struct ButtonSet {
    int Answers[3];
    int Count;
};

ButtonSet ButtonsOf(uint32_t flags) {
    switch (flags & 0xF) {
        case MB_OKCANCEL:
            return {{IDOK, IDCANCEL, 0}, 2};
        case MB_ABORTRETRYIGNORE:
            return {{IDABORT, IDRETRY, IDIGNORE}, 3};
        case MB_YESNOCANCEL:
            return {{IDYES, IDNO, IDCANCEL}, 3};
        case MB_YESNO:
            return {{IDYES, IDNO, 0}, 2};
        case MB_RETRYCANCEL:
            return {{IDRETRY, IDCANCEL, 0}, 2};
        default:
            return {{IDOK, 0, 0}, 1};
    }
}

int DefaultIndex(uint32_t flags, int count) {
    int index = int((flags >> 8) & 0xF);
    return index < count ? index : 0;
}

const char* KindOf(uint32_t flags) {
    switch (flags & 0xF0) {
        case MB_ICONHAND:
            return "error";
        case MB_ICONQUESTION:
            return "question";
        case MB_ICONEXCLAMATION:
            return "warning";
        case MB_ICONASTERISK:
            return "information";
        default:
            return "message";
    }
}

const char* AnswerName(int answer) {
    switch (answer) {
        case IDOK:
            return "OK";
        case IDCANCEL:
            return "Cancel";
        case IDABORT:
            return "Abort";
        case IDRETRY:
            return "Retry";
        case IDIGNORE:
            return "Ignore";
        case IDYES:
            return "Yes";
        case IDNO:
            return "No";
        default:
            return "?";
    }
}

QMessageBox::StandardButton QtButton(int answer) {
    switch (answer) {
        case IDOK:
            return QMessageBox::Ok;
        case IDCANCEL:
            return QMessageBox::Cancel;
        case IDABORT:
            return QMessageBox::Abort;
        case IDRETRY:
            return QMessageBox::Retry;
        case IDIGNORE:
            return QMessageBox::Ignore;
        case IDYES:
            return QMessageBox::Yes;
        default:
            return QMessageBox::No;
    }
}

int ShowOnDisplay(const std::string& text, const std::string& caption, uint32_t flags) {
    QMessageBox box;
    box.setWindowTitle(QString::fromUtf8(caption.data(), qsizetype(caption.size())));
    // Texts may carry parts of files and server replies: never let them become markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
    switch (flags & 0xF0) {
        case MB_ICONHAND:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONASTERISK:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    ButtonSet set = ButtonsOf(flags);
    QMessageBox::StandardButtons buttons;
    for (int i = 0; i < set.Count; ++i) buttons |= QtButton(set.Answers[i]);
    box.setStandardButtons(buttons);
    box.setDefaultButton(QtButton(set.Answers[DefaultIndex(flags, set.Count)]));
    // Closing the window answers Cancel where the box has it, else its only or default button,
    // as Windows does.
    int escape = set.Answers[DefaultIndex(flags, set.Count)];
    for (int i = 0; i < set.Count; ++i)
        if (set.Answers[i] == IDCANCEL) escape = IDCANCEL;
    if (set.Count == 1) escape = set.Answers[0];
    box.setEscapeButton(QtButton(escape));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr) return escape;
    QMessageBox::StandardButton which = box.standardButton(clicked);
    for (int i = 0; i < set.Count; ++i)
        if (QtButton(set.Answers[i]) == which) return set.Answers[i];
    return escape;
}

// Control bytes from server replies or files must not reach a terminal as escape sequences.
std::string Printable(const std::string& text) {
    std::string out;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            out += " / ";
        } else if (c < 0x20 || c == 0x7f) {
            static const char digits[] = "0123456789abcdef";
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace

int DefaultMessageBoxAnswer(uint32_t flags) {
    ButtonSet set = ButtonsOf(flags);
    return set.Answers[DefaultIndex(flags, set.Count)];
}

void SetUnattended(bool unattended) {
    gUnattended = unattended;
}
bool Unattended() {
    return gUnattended;
}

bool MessageBoxHasDisplay() {
    if (gUnattended) return false;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr) return false;
    if (QThread::currentThread() != app->thread()) return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

TMessageLogSink SetMessageLogSink(TMessageLogSink sink) {
    std::lock_guard<std::mutex> lock(gHookLock);
    std::swap(gSink, sink);
    return sink;
}

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler) {
    std::lock_guard<std::mutex> lock(gHookLock);
    std::swap(gHandler, handler);
    return handler;
}

int MessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
    TMessageBoxHandler handler;
    {
        std::lock_guard<std::mutex> lock(gHookLock);
        handler = gHandler;
    }
    if (handler) return handler(text, caption, flags);
    if (MessageBoxHasDisplay()) return ShowOnDisplay(text, caption, flags);

    int answer = DefaultMessageBoxAnswer(flags);
    std::fprintf(stderr, "[%s] %s: %s (answered %s)\n", KindOf(flags), Printable(caption).c_str(),
                 Printable(text).c_str(), AnswerName(answer));
    TMessageLogSink sink;
    {
        std::lock_guard<std::mutex> lock(gHookLock);
        sink = gSink;
    }
    if (sink) sink(caption, text, flags, answer);
    return answer;
}

void ShowMessage(const std::string& text) {
    std::string caption;
    if (QCoreApplication::instance() != nullptr)
        caption = QCoreApplication::applicationName().toStdString();
    MessageBox(text, caption, MB_OK);
}
