-- Settings file template (tolvaran.f1): options, toolbar definitions, section-name
-- translations, image list. Booleans are 0 (False) and 1 (True). Text compares without regard
-- to case, as the Jet engine compares it.

-- LastFolder: the folder the file picker last took a file from (its next start).
CREATE TABLE Options (
    SystemConfigId LONG NOT NULL PRIMARY KEY,
    LoadReportsOnOpen BOOLEAN DEFAULT 0,
    SuppressSectionsWithNoControls BOOLEAN DEFAULT 0,
    LastFolder TEXT(255)
);
INSERT INTO Options (SystemConfigId, LoadReportsOnOpen, SuppressSectionsWithNoControls) VALUES (1, 1, 1);

CREATE TABLE ToolBars (
    ToolBarId LONG NOT NULL PRIMARY KEY,
    FormName TEXT(50) COLLATE NOCASE,
    ButtonOrder LONG,
    Level LONG,
    ButtonNAME TEXT(50) COLLATE NOCASE,
    ButtonType LONG DEFAULT 0,
    ImageNo LONG DEFAULT 0,
    ToolTip TEXT(255),
    QuickKey TEXT(50),
    IsCheckBox BOOLEAN DEFAULT 0,
    IsDropMenu BOOLEAN DEFAULT 0,
    BackColor LONG DEFAULT 0,
    ForeColor LONG DEFAULT 0,
    Enabled BOOLEAN DEFAULT 1
);
CREATE INDEX ToolBarsForm ON ToolBars (FormName, ButtonOrder);

-- Item ids are the contract with the windows' click handlers. ButtonType 0 = button.
INSERT INTO ToolBars (ToolBarId, FormName, ButtonOrder, Level, ButtonNAME, ButtonType, ImageNo, ToolTip, QuickKey) VALUES
    (239, 'MainMenu', 1, 1, 'Add', 0, 28, 'Add a source database', 'Ctrl+N'),
    (240, 'MainMenu', 2, 1, 'Edit', 0, 2, 'Edit the selected source database', 'Ctrl+E'),
    (254, 'MainMenu', 3, 1, 'Remove', 0, 9, 'Remove the selected source database from the list', ''),
    (151, 'MainMenu', 4, 1, 'Convert', 0, 4, 'Convert the selected reports', 'F5'),
    (84, 'MainMenu', 5, 1, 'Save Preferences', 0, 24, 'Save the preferences', 'Ctrl+S'),
    (260, 'MainMenu', 6, 1, 'System Info', 0, 20, 'Show the installed versions', ''),
    (263, 'MainMenu', 7, 1, 'Update', 0, 6, 'Check for a newer version', ''),
    (63, 'MainMenu', 8, 1, 'Web Site', 0, 14, 'Open the product web page', ''),
    (70, 'MainMenu', 9, 1, 'Help', 0, 25, 'Help for this window', 'F1'),
    (233, 'MainMenu', 10, 1, 'About', 0, 19, 'About Tolvaran', ''),
    (81, 'MainMenu', 11, 1, 'Exit', 0, 26, 'End the program', 'Ctrl+Q'),
    (236, 'GenericSaveCancel', 1, 1, 'Save', 0, 4, 'Save and close', 'Ctrl+S'),
    (237, 'GenericSaveCancel', 2, 1, 'Cancel', 0, 15, 'Close without saving', 'Esc'),
    (248, 'ErrorLog', 1, 1, 'Close', 0, 1, 'Close the error log', 'Esc'),
    (251, 'ErrorLog', 2, 1, 'Clear Log', 0, 9, 'Clear the error log of this report', ''),
    (252, 'ErrorLog', 3, 1, 'Copy', 0, 13, 'Copy the rows to the clipboard', ''),
    (253, 'ErrorLog', 4, 1, 'Save As', 0, 5, 'Save the rows as a CSV file', 'Ctrl+S'),
    (261, 'GenericCancel', 1, 1, 'Close', 0, 1, 'Close this window', 'Esc'),
    -- The report viewer dispatches on the item's position: close, open in designer, error log.
    (270, 'ViewReport', 1, 1, 'Close', 0, 1, 'Close the report', 'Esc'),
    (271, 'ViewReport', 2, 1, 'Open in Designer', 0, 2, 'Open the report in the report designer', 'Ctrl+O'),
    (272, 'ViewReport', 3, 1, 'Error Log', 0, 29, 'Show the error log of this report', 'Ctrl+L');

CREATE TABLE HotButtons (
    HotButtonsId INTEGER PRIMARY KEY,
    FormName TEXT(50) COLLATE NOCASE,
    ButtonName TEXT(50) COLLATE NOCASE,
    Action SMALLINT DEFAULT 0,
    ButtonOrder LONG DEFAULT 0,
    ForeignKeyId LONG DEFAULT 0,
    ToolTip TEXT(255),
    ImageNo LONG DEFAULT 0,
    QuickKey LONG DEFAULT 0,
    ButtonType LONG DEFAULT 0,
    Level LONG DEFAULT 1
);

CREATE TABLE Translations (
    EnglishSectionName TEXT(50) COLLATE NOCASE,
    LanguageSectionName TEXT(100) COLLATE NOCASE
);
CREATE INDEX TranslationsPair ON Translations (EnglishSectionName, LanguageSectionName);
-- The converter asks for the English names of each section name it meets.
CREATE INDEX TranslationsLanguage ON Translations (LanguageSectionName);

-- Names that German, Spanish, Italian, Dutch, Portuguese, Finnish and Latvian Access give its
-- sections. Group sections carry the group number 0 to 9.
INSERT INTO Translations (EnglishSectionName, LanguageSectionName) VALUES
    ('ReportHeader', 'Berichtskopf'),
    ('PageHeader', 'Seitenkopf'),
    ('PageHeader', 'Seitenkopfbereich'),
    ('Detail', 'Detailbereich'),
    ('PageFooter', 'Seitenfuß'),
    ('PageFooter', 'Seitenfußbereich'),
    ('ReportFooter', 'Berichtsfuß'),
    ('ReportHeader', 'EncabezadoDelInforme'),
    ('PageHeader', 'EncabezadoDePágina'),
    ('PageHeader', 'SecciónEncabezadoDePágina'),
    ('Detail', 'Detalle'),
    ('PageFooter', 'PieDePágina'),
    ('PageFooter', 'SecciónPieDePágina'),
    ('ReportFooter', 'PieDelInforme'),
    ('ReportHeader', 'IntestazioneReport'),
    ('PageHeader', 'IntestazionePagina'),
    ('PageHeader', 'SezioneIntestazionePagina'),
    ('Detail', 'Corpo'),
    ('PageFooter', 'PièDiPaginaPagina'),
    ('PageFooter', 'SezionePièDiPaginaPagina'),
    ('ReportFooter', 'PièDiPaginaReport'),
    ('ReportHeader', 'Rapportkoptekst'),
    ('PageHeader', 'Paginakoptekst'),
    ('PageHeader', 'PaginakoptekstSectie'),
    ('Detail', 'Details'),
    ('Detail', 'Detailsectie'),
    ('PageFooter', 'Paginavoettekst'),
    ('PageFooter', 'PaginavoettekstSectie'),
    ('ReportFooter', 'Rapportvoettekst'),
    ('ReportHeader', 'CabeçalhoDoRelatório'),
    ('PageHeader', 'CabeçalhoDaPágina'),
    ('PageHeader', 'SecçãoCabeçalhoDaPágina'),
    ('PageHeader', 'SeçãoCabeçalhoDaPágina'),
    ('Detail', 'Detalhe'),
    ('PageFooter', 'RodapéDaPágina'),
    ('PageFooter', 'SecçãoRodapéDaPágina'),
    ('PageFooter', 'SeçãoRodapéDaPágina'),
    ('ReportFooter', 'RodapéDoRelatório'),
    ('ReportHeader', 'RaportinYlätunniste'),
    ('PageHeader', 'SivunYlätunniste'),
    ('Detail', 'Tiedot'),
    ('PageFooter', 'SivunAlatunniste'),
    ('ReportFooter', 'RaportinAlatunniste'),
    ('ReportHeader', 'AtskaitesGalvene'),
    ('PageHeader', 'LapasGalvene'),
    ('Detail', 'Detaļas'),
    ('PageFooter', 'LapasKājene'),
    ('ReportFooter', 'AtskaitesKājene');

WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 9),
     stem(kind, name) AS (VALUES
        ('GroupHeader', 'Gruppenkopf'), ('GroupFooter', 'Gruppenfuß'),
        ('GroupHeader', 'EncabezadoDelGrupo'), ('GroupFooter', 'PieDelGrupo'),
        ('GroupHeader', 'IntestazioneGruppo'), ('GroupFooter', 'PièDiPaginaGruppo'),
        ('GroupHeader', 'Groepskoptekst'), ('GroupFooter', 'Groepsvoettekst'),
        ('GroupHeader', 'CabeçalhoDoGrupo'), ('GroupFooter', 'RodapéDoGrupo'),
        ('GroupHeader', 'RyhmänYlätunniste'), ('GroupFooter', 'RyhmänAlatunniste'),
        ('GroupHeader', 'GrupasGalvene'), ('GroupFooter', 'GrupasKājene'))
INSERT INTO Translations (EnglishSectionName, LanguageSectionName)
    SELECT kind, name || i FROM stem, n ORDER BY kind, name, i;

CREATE TABLE ImageList (
    "Index" LONG NOT NULL PRIMARY KEY
);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30)
INSERT INTO ImageList ("Index") SELECT i FROM n;
