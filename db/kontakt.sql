-- Logdatenbank: eigene Empfangsberichte, ein Datensatz je gehörter Station.
-- Alle Werte sind Text, so wie sie in den Feldern des Logfensters stehen;
-- bemerkung enthält RTF. id ist der Schlüssel, über den Datensätze
-- zurückgeschrieben werden; das Fenster zeigt ihn nicht.
PRAGMA journal_mode = DELETE;
CREATE TABLE Kontakt (
  id        INTEGER PRIMARY KEY,
  callsign  TEXT,
  skip      TEXT,
  vorname   TEXT,
  land      TEXT,
  swert     TEXT,
  rwert     TEXT,
  datum     TEXT,
  uhrzeit   TEXT,
  lanal     TEXT,
  frequenz  TEXT,
  band      TEXT,
  ort       TEXT,
  bemerkung TEXT
);
CREATE INDEX Kontakt_frequenz ON Kontakt (frequenz);
