#pragma once
// The Qt side of the document: owns the core Document, answers its hooks
// with signals for the frame and the view, and runs every operation through
// the application's prompts.
#include <QObject>
#include <QString>

#include "compiler/program_image.h"
#include "model/document.h"

namespace velmorin {

class CVelmorinApp;

class CVelmorinDoc : public QObject {
    Q_OBJECT
public:
    // Window title, file type, registry type and description of the document type.
    static constexpr const char* DocumentTypeString = "velmorin\n\nVelmor\n\n\nVelmorin.Document\nVelmor Document";
    static QString WindowTitle();
    static constexpr const char* UntitledName = "Sin título";

    explicit CVelmorinDoc(CVelmorinApp& app, QObject* parent = nullptr);

    Document& core() { return document_; }
    ProgramModel& model() { return document_.model(); }
    QString currentPath() const { return QString::fromStdString(document_.currentPath()); }
    bool modified() const { return document_.modified(); }
    void SetModified(bool modified) { document_.SetModified(modified); }
    // The name the frame shows: the last loaded or saved file, else "Sin título".
    QString title() const;

    bool NewDocument();
    // Sources and program images (*.bld): an image opens as its recovered
    // diagram, without a file.
    bool OpenDocument();
    // After "Extraer programa": offers the received program as a diagram.
    bool OfferExtractedDiagram(const CodeImage& image);
    bool LoadDocument(const QString& path);
    bool SaveDocument();
    bool SaveDocumentAs();
    bool ConfirmDiscard();

signals:
    void titleChanged(const QString& title);
    void viewResetRequested();
    void redrawRequested();
    void markedCellCleared();
    void monitorCleared();
    void diagnosticsCleared();
    // The diagram reached its file: the edit history's saved state.
    void saved();
    // A diagram opened without a file (one recovered from an image): no
    // saved state at all.
    void openedUnsaved();

private:
    CVelmorinApp& app_;
    Document document_;
};

}  // namespace velmorin
