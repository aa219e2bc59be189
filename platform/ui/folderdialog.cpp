#include "platform/ui/folderdialog.h"

#include "platform/ui/app.h"
#include "platform/ui/windowimpl.h"

#include <QFileDialog>

using namespace uiimpl;

CFolderDialog::CFolderDialog(LPCWSTR title, CWnd* parent) : m_title(title), m_parent(parent) {}

INT_PTR CFolderDialog::DoModal() {
    m_folder.Empty();
    CWnd* owner = m_parent != nullptr ? m_parent : AfxGetMainWnd();
    const Window* record = owner != nullptr ? Lookup(TopLevelOf(owner->m_hWnd)) : nullptr;
    QFileDialog dialog(record != nullptr ? record->widget.data() : nullptr, QString::fromStdWString(m_title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return IDCANCEL;
    }
    m_folder = dialog.selectedFiles().constFirst().toStdWString();
    return IDOK;
}
