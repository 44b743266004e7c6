#pragma once
// A program image opened as a diagram in the editor: after "Extraer
// programa", and when "Archivo > Abrir..." is given a *.bld. What is offered
// and what is said is decided here from the decompiler's verdict; the
// windows only ask and show, through Prompts. A recovered diagram opens as a
// new document without a file, modified: the image it came from is never a
// place to save it.
#include <cstdint>
#include <memory>
#include <string>

#include "compiler/program_image.h"
#include "model/document.h"
#include "model/ladder_model.h"
#include "model/prompts.h"
#include "model/result.h"

namespace velmorin::msg {
inline constexpr const char* OpenAsDiagram = "Abrir como diagrama";
}  // namespace velmorin::msg

namespace velmorin {

struct DiagramRecovery {
    // The diagram, only when it compiles back to the image byte for byte.
    std::unique_ptr<ProgramModel> model;
    // What the box offering the diagram says.
    std::string offer;
    // Otherwise why not: the image reader's refusal, or "No se pudo
    // reconstruir el diagrama" with the address where the code was lost.
    Result failure;
    // Where the code was lost; -1 when recovered or the file was refused.
    int32_t firstDifference = -1;
    // The image instruction by instruction, when it was read but not
    // recovered: the only view of the program left to the user.
    std::string listing;

    explicit operator bool() const { return model != nullptr; }
};

DiagramRecovery RecoverDiagram(const CodeImage& image);
// The file read with the image reader first; its refusals are its own.
DiagramRecovery RecoverDiagramFile(const std::string& path);

// Whether "Archivo > Abrir..." reads `path` as a program image rather than
// a source: by its extension, as the user chose it in the file dialog.
bool IsImagePath(const std::string& path);
// The open dialog's request: the document's own, with the images beside
// the sources.
FileDialogRequest OpenProgramRequest(const Document& document);

// "Archivo > Abrir...": the discard question, the file dialog, then a
// source loaded as ever or an image opened as a recovered diagram. An image
// that cannot be recovered opens nothing and leaves the diagram, its file
// and its modified mark as they were. True when a document was opened.
bool OpenProgramFile(Prompts& prompts, Document& document);
// After an extraction: offers the diagram of the received image ("Abrir
// como diagrama"), or says why there is none. True when it was opened.
bool OfferExtractedDiagram(Prompts& prompts, Document& document, const CodeImage& image);

}  // namespace velmorin
