#include "platform/ui/filedialog.h"

#include "platform/ui/app.h"
#include "platform/ui/windowimpl.h"

#include <QFileDialog>
#include <QStringList>

#include <cstdint>

using namespace uiimpl;

namespace {

struct NameFilter {
    // "Description (patterns)", as Qt reads its filters.
    QString text;
    QStringList patterns;
};

// "Description|*.a;*.b|...||": pairs of a description and its patterns, up to an empty description.
std::vector<NameFilter> ParseFilter(const QString& filter) {
    std::vector<NameFilter> filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (description.isEmpty()) {
            break;
        }
        NameFilter entry;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            entry.patterns.append(pattern.trimmed());
        }
        // Qt takes the patterns from the text's last parentheses; a description that already
        // shows them is kept as it stands.
        const QString shown = QLatin1Char('(') + entry.patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        entry.text = description.endsWith(shown) ? description : description + QLatin1Char(' ') + shown;
        filters.push_back(entry);
    }
    return filters;
}

QWidget* OwnerWidget(CWnd* parent) {
    CWnd* owner = parent != nullptr ? parent : AfxGetMainWnd();
    const Window* record = owner != nullptr ? Lookup(TopLevelOf(owner->m_hWnd)) : nullptr;
    return record != nullptr ? record->widget.data() : nullptr;
}

} // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, LPCWSTR defaultExtension, LPCWSTR fileName, DWORD flags,
                         LPCWSTR filter, CWnd* parent)
    : m_open(openFileDialog != FALSE), m_defaultExtension(defaultExtension), m_fileName(fileName),
      m_flags(flags), m_filter(filter), m_parent(parent) {}

INT_PTR CFileDialog::DoModal() {
    m_paths.clear();
    QFileDialog dialog(OwnerWidget(m_parent));
    dialog.setAcceptMode(m_open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (m_open) {
        dialog.setFileMode((m_flags & OFN_ALLOWMULTISELECT) != 0 ? QFileDialog::ExistingFiles
                                                                 : QFileDialog::ExistingFile);
    } else {
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, (m_flags & OFN_OVERWRITEPROMPT) == 0);
    }

    const std::vector<NameFilter> filters = ParseFilter(QString::fromStdWString(m_filter));
    QStringList texts;
    for (const NameFilter& entry : filters) {
        texts.append(entry.text);
    }
    if (!texts.isEmpty()) {
        dialog.setNameFilters(texts);
    }

    QString suffix = QString::fromStdWString(m_defaultExtension);
    while (suffix.startsWith(QLatin1Char('*')) || suffix.startsWith(QLatin1Char('.'))) {
        suffix.remove(0, 1);
    }
    if (!suffix.isEmpty()) {
        dialog.setDefaultSuffix(suffix);
        // As on the platform, a typed name without an extension takes that of the filter chosen,
        // when the filter names a single one.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &filters](const QString& text) {
            for (const NameFilter& entry : filters) {
                const QString pattern = entry.patterns.size() == 1 ? entry.patterns.front() : QString();
                if (entry.text == text && pattern.startsWith(QLatin1String("*.")) &&
                    !pattern.mid(2).contains(QLatin1Char('*')) && !pattern.mid(2).contains(QLatin1Char('?'))) {
                    dialog.setDefaultSuffix(pattern.mid(2));
                }
            }
        });
    }

    const QString name = QString::fromStdWString(m_fileName);
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'))) {
        for (const NameFilter& entry : filters) {
            if (entry.patterns.contains(name, Qt::CaseInsensitive)) {
                dialog.selectNameFilter(entry.text);
                break;
            }
        }
    } else if (!name.isEmpty()) {
        dialog.selectFile(name);
    }

    const int accepted = dialog.exec();
    m_filterIndex = static_cast<int>(texts.indexOf(dialog.selectedNameFilter())) + 1;
    if (accepted != QDialog::Accepted) {
        return IDCANCEL;
    }
    for (const QString& path : dialog.selectedFiles()) {
        m_paths.emplace_back(path.toStdWString());
    }
    return m_paths.empty() ? IDCANCEL : IDOK;
}

POSITION CFileDialog::GetStartPosition() const {
    // A position is the number of the next path, counted from 1, so that null ends the walk.
    return m_paths.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CString CFileDialog::GetNextPathName(POSITION& position) const {
    const auto number = reinterpret_cast<uintptr_t>(position);
    if (number == 0 || number > m_paths.size()) {
        position = nullptr;
        return CString();
    }
    position = number < m_paths.size() ? reinterpret_cast<POSITION>(number + 1) : nullptr;
    return m_paths[number - 1];
}

CString CFileDialog::GetPathName() const {
    return m_paths.empty() ? CString() : m_paths.front();
}
