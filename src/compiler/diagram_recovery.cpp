#include "compiler/diagram_recovery.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "compiler/decompiler.h"

namespace velmorin {

namespace {

constexpr const char* ExtractCaption = "Extraer programa";

std::string OfferText(int32_t codeLength) {
    return "El programa del PLC (" + std::to_string(codeLength) + " bytes de código) se reconstruyó como diagrama.";
}

void Show(Prompts& prompts, const DiagramRecovery& recovery) {
    if (recovery.listing.empty())
        prompts.ShowFailure(recovery.failure);
    else
        prompts.ShowListing(recovery.failure, recovery.listing);
}

}  // namespace

DiagramRecovery RecoverDiagram(const CodeImage& image) {
    DecompileResult decompiled = Decompile(image);
    DiagramRecovery recovery;
    if (decompiled) {
        recovery.model = std::move(decompiled.model);
        recovery.offer = OfferText(decompiled.codeLength);
        return recovery;
    }
    recovery.failure = decompiled.outcome;
    recovery.firstDifference = decompiled.firstDifference;
    recovery.listing = std::move(decompiled.listing);
    return recovery;
}

DiagramRecovery RecoverDiagramFile(const std::string& path) {
    auto image = std::make_unique<CodeImage>();
    if (Result read = ReadImageFile(path, *image); !read) {
        DiagramRecovery refused;
        refused.failure = std::move(read);
        return refused;
    }
    return RecoverDiagram(*image);
}

bool IsImagePath(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".bld";
}

FileDialogRequest OpenProgramRequest(const Document& document) {
    FileDialogRequest request = document.OpenRequest();
    // After the sources, which stay the first and chosen filter.
    const auto sources = request.filters.empty() ? request.filters.end() : request.filters.begin() + 1;
    request.filters.insert(sources, {"Binario Ladder", "*.bld"});
    return request;
}

bool OpenProgramFile(Prompts& prompts, Document& document) {
    if (!document.ConfirmDiscard(prompts)) return false;
    const std::optional<std::string> path = prompts.AskFile(OpenProgramRequest(document));
    if (!path) return false;
    if (!IsImagePath(*path)) {
        // Asked already: the load must not ask again.
        document.SetModified(false);
        return document.LoadDocument(prompts, *path);
    }
    const DiagramRecovery recovery = RecoverDiagramFile(*path);
    if (!recovery) {
        // Nothing was reset: the diagram and its modified mark stay.
        Show(prompts, recovery);
        return false;
    }
    document.SetModified(false);
    return document.OpenUntitled(prompts, *recovery.model);
}

bool OfferExtractedDiagram(Prompts& prompts, Document& document, const CodeImage& image) {
    const DiagramRecovery recovery = RecoverDiagram(image);
    if (!recovery) {
        Show(prompts, recovery);
        return false;
    }
    if (!prompts.OfferAction(recovery.offer, msg::OpenAsDiagram, ExtractCaption)) return false;
    return document.OpenUntitled(prompts, *recovery.model);
}

}  // namespace velmorin
