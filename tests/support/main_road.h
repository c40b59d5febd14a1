#pragma once
// The main road's front end, shared by the shell tests and the screen scenes of bench_screens:
// a SQLite file standing in for the French Northwind with five of its corpus report exports.
#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace main_road {

// Yearly sales (groups, formulas and a subreport), that subreport, and three grouped reports,
// in the order the reports grid lists them.
inline const std::vector<std::string>& NwindReports() {
    static const std::vector<std::string> names = {
        "Produits par catégorie", "Récapitulatif des ventes par année", "Sous-état ventes annuelles",
        "Totaux des ventes par montant", "Ventes annuelles"};
    return names;
}

// Writes <folder>/Comptoir.mdb, a SQLite file whose tables stand in for the queries the five
// reports are bound to, and their exports (from corpusDir/reports) in Comptoir.mdb.src/reports.
// Returns the front end's path; throws std::runtime_error when the file cannot be made.
inline std::filesystem::path NwindFrontEnd(const std::filesystem::path& folder,
                                           const std::filesystem::path& corpusDir) {
    const std::filesystem::path front = folder / "Comptoir.mdb";
    sqlite3* db = nullptr;
    const char* schema =
        "CREATE TABLE MSysObjects (Name TEXT, Type INTEGER, Flags INTEGER, Database TEXT, ForeignName TEXT, "
        "Connect TEXT);"
        "CREATE TABLE [Ventes annuelles] ([Année] INTEGER, [Date envoi] DATETIME, [N° commande] INTEGER, "
        "SousTotal REAL);"
        "INSERT INTO [Ventes annuelles] VALUES (1996, '1996-07-16 00:00:00', 10248, 440),"
        " (1997, '1997-01-02 00:00:00', 10400, 3063);"
        "CREATE TABLE [Produits par catégorie] ([Nom de catégorie] TEXT, [Nom du produit] TEXT, "
        "[Unités en stock] INTEGER);"
        "CREATE TABLE [Récapitulatif des ventes par année] ([Année] INTEGER, [Date envoi] DATETIME, "
        "[N° commande] INTEGER, SousTotal REAL);"
        "CREATE TABLE [Totaux des ventes par montant] (MontantVente REAL, [N° commande] INTEGER, Société "
        "TEXT);";
    const bool made = sqlite3_open(front.string().c_str(), &db) == SQLITE_OK &&
                      sqlite3_exec(db, schema, nullptr, nullptr, nullptr) == SQLITE_OK;
    const std::string error = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    if (!made) throw std::runtime_error(front.string() + ": " + error);
    const std::filesystem::path exports = front.string() + ".src/reports";
    std::filesystem::create_directories(exports);
    for (const std::string& name : NwindReports())
        std::filesystem::copy_file(corpusDir / "reports" / ("Jlr97470__Nwind2k.mdb__" + name + ".report"),
                                   exports / (name + ".report"));
    return front;
}

}  // namespace main_road
