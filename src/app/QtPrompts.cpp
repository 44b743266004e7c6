#include "app/QtPrompts.h"

#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTextEdit>
#include <QTreeView>

namespace velmorin {

namespace {

QString Caption(const std::string& caption) {
    return caption.empty() ? QStringLiteral("velmorin") : QString::fromStdString(caption);
}

// Qt's file dialog records its folder history in a settings file of Qt's own
// (QtProject.conf, shared by every Qt program) when it is destroyed. This
// program remembers nothing outside its own store, so the record is put back
// as it was once the dialog is gone: declare this before the dialog.
class QtDialogRecordKeeper {
public:
    QtDialogRecordKeeper() {
        QSettings record(QSettings::UserScope, QStringLiteral("QtProject"));
        existed_ = QFile::exists(record.fileName());
        record.beginGroup(Group);
        for (const QString& key : record.allKeys()) kept_.insert(key, record.value(key));
    }

    ~QtDialogRecordKeeper() {
        QString path;
        bool empty = false;
        {
            QSettings record(QSettings::UserScope, QStringLiteral("QtProject"));
            record.remove(Group);
            record.beginGroup(Group);
            for (auto kept = kept_.cbegin(); kept != kept_.cend(); ++kept) record.setValue(kept.key(), kept.value());
            record.endGroup();
            record.sync();
            path = record.fileName();
            empty = record.allKeys().isEmpty();
        }
        if (!existed_ && empty) QFile::remove(path);
    }

    QtDialogRecordKeeper(const QtDialogRecordKeeper&) = delete;
    QtDialogRecordKeeper& operator=(const QtDialogRecordKeeper&) = delete;

private:
    static constexpr QLatin1StringView Group{"FileDialog"};
    bool existed_ = false;
    QVariantMap kept_;
};

// The file list's size, type and date columns in the program's language
// (the application's default locale): Qt writes them in the system's, and
// has no Spanish of its own for a folder's type.
class SpanishFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr || index.column() < 1 || index.column() > 3)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        const QLocale language;
        switch (index.column()) {
            case 1:
                return info.isDir() ? QString() : language.formattedDataSize(info.size());
            case 2:
                return info.isDir() ? QStringLiteral("Carpeta") : QIdentityProxyModel::data(index, role);
            default:
                return language.toString(info.lastModified(), QLocale::ShortFormat);
        }
    }
};

// The details of a box hold a listing: its columns line up only in a
// fixed-width font, and it is what the user came for, so it shows at once.
void ShowDetailsFixed(QMessageBox& box) {
    auto* details = box.findChild<QTextEdit*>();
    if (details == nullptr) return;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    details->setFont(fixed);
    details->setLineWrapMode(QTextEdit::NoWrap);
    const QFontMetrics metrics(fixed);
    details->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * 44, metrics.lineSpacing() * 16);
    for (QAbstractButton* button : box.buttons()) {
        if (box.buttonRole(button) == QMessageBox::ActionRole) {
            button->click();
            break;
        }
    }
}

}  // namespace

void QtPrompts::ShowMessage(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Warning, Caption(caption), QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.exec();
}

void QtPrompts::ShowInformation(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Information, Caption(caption), QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.exec();
}

void QtPrompts::ShowFailure(const Result& failure) {
    QMessageBox box(QMessageBox::Warning, Caption({}), QString::fromStdString(failure.message), QMessageBox::Ok,
                    parent_);
    box.setInformativeText(QString::fromStdString(failure.detail));
    box.exec();
}

bool QtPrompts::AskYesNo(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Warning, Caption(caption), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

bool QtPrompts::OfferAction(const std::string& text, const std::string& action, const std::string& caption) {
    QMessageBox box(QMessageBox::Information, Caption(caption), QString::fromStdString(text), QMessageBox::NoButton,
                    parent_);
    QPushButton* chosen = box.addButton(QString::fromStdString(action), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Cerrar"), QMessageBox::RejectRole);
    box.setDefaultButton(chosen);
    box.exec();
    return box.clickedButton() == chosen;
}

void QtPrompts::ShowListing(const Result& failure, const std::string& listing) {
    QMessageBox box(QMessageBox::Warning, Caption({}), QString::fromStdString(failure.message), QMessageBox::Ok,
                    parent_);
    box.setInformativeText(QString::fromStdString(failure.detail));
    box.setDetailedText(QString::fromStdString(listing));
    ShowDetailsFixed(box);
    box.exec();
}

QStringList QtPrompts::NameFilters(const FileDialogRequest& request) {
    QStringList filters;
    for (const auto& filter : request.filters) {
        filters << QStringLiteral("%1 (%2)").arg(QString::fromStdString(filter.name),
                                                 QString::fromStdString(filter.pattern));
    }
    return filters;
}

std::optional<std::string> QtPrompts::AskFile(const FileDialogRequest& request) {
    const QtDialogRecordKeeper record;
    QFileDialog dialog(parent_, QString::fromStdString(request.title), QString::fromStdString(request.directory));
    // Qt's own dialog, so that the name field really starts with the preset pattern.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilters(NameFilters(request));
    if (!request.filters.empty()) dialog.selectNameFilter(dialog.nameFilters().front());
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.presetName.empty()) dialog.selectFile(QString::fromStdString(request.presetName));
    dialog.setProxyModel(new SpanishFileColumns(&dialog));
    if (auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        // Size, type and date as wide as what they show.
        for (int column = 1; column <= 3; ++column)
            list->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
    return chosen.front().toStdString();
}

}  // namespace velmorin
