-- Frequenzdatenbank: vier Referenzlisten, nur lesend benutzt.
-- Frequenzen stehen als Text in MHz mit Dezimalkomma, so wie man sie liest.
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
CREATE INDEX bos_Ort ON bos (Ort);
CREATE INDEX flugfunk_Ort ON flugfunk (Ort);
CREATE INDEX afu_Standort ON afu (Standort);
CREATE INDEX fernwirken_Frequenz ON fernwirken (Frequenz);

INSERT INTO bos VALUES ('BW','Ulm','Feuerwehr','Florian Ulm','464','86,355');
INSERT INTO bos VALUES ('HH','Hamburg','THW','Heros Hamburg 21/10','240','172,940');
INSERT INTO flugfunk VALUES ('123,290','Bautzen (EDAB) ATIS');
INSERT INTO afu VALUES ('Relaiskanal RV48','145,0000','145,6000');
INSERT INTO fernwirken VALUES ('0,1291','Mainhausen (Mainflingen)','Funkrundsteuer-Dienstleister (EFR)','Energieversorgung','DCF49');
