// Qt backend: the Open dialog and the yes/no question.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <filesystem>
#include <optional>
#include <string>

#include "../Error.h"
#include "../MessageBox.h"
#include "../OpenFileDialog.h"
#include "QtInternal.h"

namespace platform {

namespace {

// Qt shows a file name whose bytes are not UTF-8 with U+FFFD in their place, and its dialogs give
// the name back so: the name of a file that is not there. Each part of such a path is found again
// in its folder, as the one entry there that Qt shows the same way; none when no entry or more
// than one does.
std::optional<std::wstring> NameOnDisk(const QString& shown) {
    if (!shown.startsWith(QLatin1Char('/'))) return std::nullopt;
    std::string found;
    for (const QString& part : shown.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const std::string folder = found.empty() ? "/" : found;
        found += '/';
        if (!part.contains(QChar::ReplacementCharacter)) {
            found += QFile::encodeName(part).toStdString();
            continue;
        }
        std::optional<std::string> match;
        std::error_code error;
        for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
             entry.increment(error)) {
            const std::string name = entry->path().filename().native();
            if (QFile::decodeName(QByteArray::fromStdString(name)) != part) continue;
            if (match) return std::nullopt;
            match = name;
        }
        if (!match) return std::nullopt;
        found += *match;
    }
    std::error_code error;
    if (!std::filesystem::exists(found, error)) return std::nullopt;
    return FromUtf8(found);
}

bool ChangedByQt(const QString& chosen) {
    return chosen.contains(QChar::ReplacementCharacter) && !QFileInfo::exists(chosen);
}

// Qt's own dialog refuses a chosen name that does not exist as it is shown; one that stands for
// a file on disk is taken.
class OpenDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

protected:
    void accept() override {
        const QStringList files = selectedFiles();
        if (files.size() == 1 && ChangedByQt(files.first()) && NameOnDisk(files.first())) {
            QDialog::accept();
        } else {
            QFileDialog::accept();
        }
    }
};

}  // namespace

void OpenFileDialog::ShowOpen() {
    OpenDialog dialog(&owner_.impl().form);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Open in the preset's folder with its name selected; a bare name starts in the home folder.
    const QString preset = ToQString(FileName);
    const QFileInfo info(preset);
    if (!preset.isEmpty() && info.dir().exists() && preset.contains(QLatin1Char('/'))) {
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    } else {
        dialog.setDirectory(QDir::homePath());
        dialog.selectFile(preset);
    }
    std::optional<std::wstring> chosen;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString name = dialog.selectedFiles().first();
        chosen = ChangedByQt(name) ? NameOnDisk(name) : FromQString(QDir::toNativeSeparators(name));
    }
    if (!chosen) {
        if (CancelError) throw platform::CancelError();
        return;
    }
    FileName = *chosen;
}

bool AskYesNo(Window& owner, const std::wstring& title, const std::wstring& text) {
    QMessageBox box(QMessageBox::Warning, ToQString(title), ToQString(text),
                    QMessageBox::Yes | QMessageBox::No, &owner.impl().form);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void ShowWarning(Window& owner, const std::wstring& title, const std::wstring& text) {
    QMessageBox box(QMessageBox::Warning, ToQString(title), ToQString(text), QMessageBox::Ok,
                    &owner.impl().form);
    box.exec();
}

}  // namespace platform
