#include "app/CVelmorinDoc.h"

#include "app/CVelmorinApp.h"
#include "compiler/diagram_recovery.h"

namespace velmorin {

CVelmorinDoc::CVelmorinDoc(CVelmorinApp& app, QObject* parent) : QObject(parent), app_(app) {
    DocumentHooks hooks;
    hooks.titleChanged = [this](const std::string& title) { emit titleChanged(QString::fromStdString(title)); };
    hooks.recentFileAdded = [this](const std::string& path) { app_.AddRecentFile(QString::fromStdString(path)); };
    hooks.loadFailed = [this](const std::string& path) { app_.RemoveRecentFile(QString::fromStdString(path)); };
    hooks.viewReset = [this] { emit viewResetRequested(); };
    hooks.monitorCleared = [this] { emit monitorCleared(); };
    hooks.markedCellCleared = [this] { emit markedCellCleared(); };
    hooks.diagnosticsCleared = [this] { emit diagnosticsCleared(); };
    hooks.redrawRequested = [this] { emit redrawRequested(); };
    hooks.unsavedOpened = [this] { emit openedUnsaved(); };
    document_.SetHooks(std::move(hooks));
}

QString CVelmorinDoc::WindowTitle() {
    const QString type = QString::fromLatin1(DocumentTypeString);
    return type.left(type.indexOf(u'\n'));
}

QString CVelmorinDoc::title() const {
    return document_.title().empty() ? QString::fromUtf8(UntitledName) : QString::fromStdString(document_.title());
}

bool CVelmorinDoc::NewDocument() { return document_.NewDocument(app_.prompts()); }
bool CVelmorinDoc::OpenDocument() { return OpenProgramFile(app_.prompts(), document_); }
bool CVelmorinDoc::OfferExtractedDiagram(const CodeImage& image) {
    return velmorin::OfferExtractedDiagram(app_.prompts(), document_, image);
}
bool CVelmorinDoc::LoadDocument(const QString& path) {
    return document_.LoadDocument(app_.prompts(), path.toStdString());
}
bool CVelmorinDoc::SaveDocument() {
    if (!document_.SaveDocument(app_.prompts())) return false;
    emit saved();
    return true;
}
bool CVelmorinDoc::SaveDocumentAs() {
    if (!document_.SaveDocumentAs(app_.prompts())) return false;
    emit saved();
    return true;
}
bool CVelmorinDoc::ConfirmDiscard() { return document_.ConfirmDiscard(app_.prompts()); }

}  // namespace velmorin
