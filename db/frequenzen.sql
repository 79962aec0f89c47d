-- Frequenzdatenbank: vier Referenzlisten, vom Programm nur gelesen.
-- Dieser Text legt nur die leeren Tabellen an; die Zeilen stehen in den
-- CSV-Dateien unter db/frequenzen/ und werden beim Bauen mit
-- "tremvik-frequenzen build" eingelesen, die Herkunft der Listen aus
-- herkunft.csv.
-- Alle Werte sind Text; Frequenzen stehen in MHz mit Dezimalkomma, so wie
-- man sie liest. Die Indizes gehören zu den Sortierspalten der Listen.
PRAGMA journal_mode = DELETE;
CREATE TABLE bos (
  BL TEXT, Ort TEXT, Benutzer TEXT, Rufname TEXT, Kanal TEXT, Freq TEXT
);
CREATE TABLE flugfunk (
  Frquenz TEXT, Ort TEXT
);
CREATE TABLE afu (
  Standort TEXT, Eingabe TEXT, Ausgabe TEXT
);
CREATE TABLE fernwirken (
  Frequenz TEXT, Stadt TEXT, Firma TEXT, Anwenderart TEXT, Rufname TEXT
);
-- Woher die Zeilen einer Liste stammen, solange sie die mitgelieferten sind:
-- eine Zeile je Liste aus herkunft.csv. Ersetzt ein Import die Zeilen einer
-- Liste, fällt ihre Zeile hier weg. beispiel = 1: erfundene oder berechnete
-- Beispieldaten, keine realen Funkstellen; hinweis sagt das dem Nutzer.
CREATE TABLE herkunft (
  tabelle TEXT PRIMARY KEY, beispiel INTEGER, hinweis TEXT, quelle TEXT, bedingungen TEXT
);
CREATE INDEX bos_Ort ON bos (Ort);
CREATE INDEX flugfunk_Ort ON flugfunk (Ort);
CREATE INDEX afu_Standort ON afu (Standort);
CREATE INDEX fernwirken_Frequenz ON fernwirken (Frequenz);
