// The alias table as CSV: what a spreadsheet gets, what comes back, and
// every row checked before anything is taken.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/alias_csv.h"
#include "model/ladder_model.h"

namespace velmorin {
namespace {

std::unique_ptr<ProgramModel> Fresh() {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    return model;
}

TEST(AliasCsv, ASpreadsheetsTableComesBackAsTheAliasesItWasMadeOf) {
    auto model = Fresh();
    SetFieldText(model->aliases[0].alias, "marcha");
    SetFieldText(model->aliases[9].alias,
                 "se\xF1"
                 "al");  // Windows-1252
    SetFieldText(model->aliases[20].alias, "a;b\"c");
    SetFieldText(model->aliases[76].alias, "piezas");
    const std::string table = FormatAliasCsv(*model);
    EXPECT_EQ(table.substr(0, 36), "memoria;alias\nE1;marcha\nE2;e2\nE3;e3\n");
    EXPECT_NE(table.find("\nS2;señal\n"), std::string::npos);
    EXPECT_NE(table.find("\nV07;\"a;b\"\"c\"\n"), std::string::npos);
    EXPECT_NE(table.find("\nCNT1;piezas\n"), std::string::npos);
    EXPECT_EQ(table.substr(table.size() - 10), "TPF2;Tpf2\n");

    // As a spreadsheet saves it: a byte-order mark, CRLF, lower-case names,
    // an extra empty column, blank rows and rows of empty cells.
    std::string saved =
        "\xEF\xBB\xBF"
        "Memoria;Alias;\r\n";
    size_t start = table.find('\n') + 1;
    for (int line = 0; start < table.size(); ++line) {
        const size_t end = table.find('\n', start);
        std::string row = table.substr(start, end - start);
        row[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(row[0])));
        saved += row + ";\r\n";
        if (line % 30 == 2) saved += "\r\n;;\r\n";
        start = end + 1;
    }
    auto other = Fresh();
    std::vector<AliasAssignment> rows;
    const Result parsed = ParseAliasCsv(*other, saved, rows);
    ASSERT_TRUE(parsed) << parsed.detail;
    EXPECT_EQ(rows.size(), 92u);
    ApplyAliases(*other, rows);
    for (int i = 0; i < AliasCount; ++i) EXPECT_EQ(other->aliases[i].alias, model->aliases[i].alias) << i;

    // A row with an empty alias gives the default back.
    ASSERT_TRUE(ParseAliasCsv(*other, "memoria;alias\ncnt1;\n", rows));
    ApplyAliases(*other, rows);
    EXPECT_EQ(FieldText(other->aliases[76].alias), "Cnt1");
}

TEST(AliasCsv, AnImportWithAnyBadRowIsRefusedNamingTheLine) {
    const struct {
        const char* what;
        std::string table;
        std::string detail;
    } cases[] = {
        {"no header", "E1;marcha\n", "Línea 1: falta la cabecera memoria;alias"},
        {"empty file", "", "Línea 1: falta la cabecera memoria;alias"},
        {"unknown memory", "memoria;alias\nE1;a\n\nX9;b\n", "Línea 4: memoria desconocida \"X9\""},
        {"past the named operands", "memoria;alias\nCNTE1;a\n", "Línea 2: memoria desconocida \"CNTE1\""},
        {"nine bytes", "memoria;alias\nV01;abcdefghi\n", "Línea 2: el alias \"abcdefghi\" tiene más de 8 caracteres"},
        {"ñ is one byte: eight characters fit, nine do not", "memoria;alias\nV01;abcdefgñ\nV02;abcdefgñh\n",
         "Línea 3: el alias \"abcdefgñh\" tiene más de 8 caracteres"},
        {"not in Windows-1252", "memoria;alias\nV01;π\n",
         "Línea 2: el alias \"π\" tiene caracteres que no caben en Windows-1252"},
        {"not UTF-8", "memoria;alias\nV01;\xF1\n", "Línea 2: el texto no está en UTF-8"},
        {"a space inside", "memoria;alias\nV01;dos palabras\n",
         "Línea 2: el alias \"dos palabras\" tiene espacios o caracteres de control"},
        {"duplicate within the table, ignoring case", "memoria;alias\nV01;motor\nV02;MOTOR\n",
         "Línea 2: el alias \"motor\" ya es el de V02"},
        {"duplicate with an operand the table leaves alone", "memoria;alias\nV01;e5\n",
         "Línea 2: el alias \"e5\" ya es el de E5"},
        {"one memory twice", "memoria;alias\nS1;a\nS1;b\n", "Línea 3: la memoria S1 ya tiene alias en la línea 2"},
        {"three fields", "memoria;alias\nS1;a;b\n", "Línea 2: se esperan dos campos, memoria y alias"},
        {"an open quote", "memoria;alias\nS1;\"abc\n", "Línea 2: comillas sin cerrar"},
    };
    for (const auto& c : cases) {
        auto model = Fresh();
        const ProgramModel before = *model;
        std::vector<AliasAssignment> rows{{3, {}}};
        const Result parsed = ParseAliasCsv(*model, c.table, rows);
        EXPECT_FALSE(parsed) << c.what;
        EXPECT_EQ(parsed.message, "No se importaron los alias; el diagrama no cambió") << c.what;
        EXPECT_EQ(parsed.detail, c.detail) << c.what;
        EXPECT_TRUE(rows.empty()) << c.what;
        for (int i = 0; i < AliasCount; ++i) EXPECT_EQ(model->aliases[i].alias, before.aliases[i].alias) << c.what;
    }
    // Swapping two names in one table is no duplicate.
    auto model = Fresh();
    std::vector<AliasAssignment> rows;
    EXPECT_TRUE(ParseAliasCsv(*model, "memoria;alias\nE1;e2\nE2;e1\n", rows));
}

}  // namespace
}  // namespace velmorin
