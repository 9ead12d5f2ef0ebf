// Qt backend: the Open dialog and the yes/no question.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "../Error.h"
#include "../MessageBox.h"
#include "../OpenFileDialog.h"
#include "QtInternal.h"

namespace platform {

void OpenFileDialog::ShowOpen() {
    QFileDialog dialog(&owner_.impl().form);
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        if (CancelError) throw platform::CancelError();
        return;
    }
    FileName = FromQString(QDir::toNativeSeparators(dialog.selectedFiles().first()));
}

bool AskYesNo(Window& owner, const std::wstring& title, const std::wstring& text) {
    QMessageBox box(QMessageBox::Warning, ToQString(title), ToQString(text),
                    QMessageBox::Yes | QMessageBox::No, &owner.impl().form);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace platform
