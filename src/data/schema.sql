-- Zelvora database, schema version 4 (version 1 lacked the indexes that keep a large ledger fast, versions 2 and 3
-- columns at the end of musteriler and veresiye; the program adds them when it opens such a file).
-- Money (Bakiye, Eklenen, Odenen, KrediLimiti) is whole kuruş; dates are YYYY-MM-DD, times HH:MM:SS.
-- KrediLimiti is the customer's credit limit (NULL: none). Kullanici and Kayit say who stored a movement and
-- when (YYYY-MM-DD HH:MM:SS); NULL for movements stored before they were kept.
-- BeklemeTarihi is the day the customer's wait for collection counts from: the last payment's date, or the first
-- movement's when there is no payment; NULL without a dated movement. The program keeps it with every movement.
-- sira_anahtari and arama_anahtari are the Turkish sort and search keys of MusteriFirma. The program keeps
-- them; a row written by another tool has them emptied (see the trigger) and the program fills them again.
PRAGMA user_version = 4;

CREATE TABLE musteriler (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    mus_kodu TEXT NOT NULL,
    MusteriFirma TEXT NOT NULL DEFAULT '',
    Turu TEXT NOT NULL DEFAULT '',
    Telefon1 TEXT NOT NULL DEFAULT ' ',
    Telefon2 TEXT NOT NULL DEFAULT ' ',
    Sehir TEXT NOT NULL DEFAULT ' ',
    Adres TEXT NOT NULL DEFAULT ' ',
    vd TEXT NOT NULL DEFAULT ' ',
    vdn TEXT NOT NULL DEFAULT ' ',
    Bakiye INTEGER,
    Sonislem TEXT,
    Gun INTEGER,
    sira_anahtari TEXT,
    arama_anahtari TEXT,
    KrediLimiti INTEGER,
    BeklemeTarihi TEXT
);
CREATE UNIQUE INDEX musteriler_mus_kodu ON musteriler (mus_kodu);
-- Name order; the search key rides along so a prefix search filters inside this index and reads its
-- matches already in name order.
CREATE INDEX musteriler_ad_sirasi ON musteriler (sira_anahtari, id, arama_anahtari);
-- Rows whose keys are missing (written by another tool), found without reading the table.
CREATE INDEX musteriler_anahtarsiz ON musteriler (id) WHERE sira_anahtari IS NULL OR arama_anahtari IS NULL;
-- Sonislem minus Gun as a Julian day: the same value, today's, for every row whose day count is right, so the
-- rows to rewrite are two index ranges. NULL for a row without a date and without a day count (also right);
-- -1 for a row that has only one of the two.
CREATE INDEX musteriler_gun_farki ON musteriler (ifnull(julianday(Sonislem) - Gun,
    CASE WHEN Gun IS NOT NULL OR julianday(Sonislem) IS NOT NULL THEN -1 END));
CREATE INDEX musteriler_turu_sira ON musteriler (Turu, sira_anahtari, id);
CREATE INDEX musteriler_turu_bakiye ON musteriler (Turu, Bakiye);
-- The to-collect order: the longest waiting first, on equal days the larger debt, then the customer number.
CREATE INDEX musteriler_tahsilat ON musteriler (BeklemeTarihi, Bakiye DESC, length(mus_kodu), mus_kodu)
    WHERE Bakiye > 0;

-- A name changed without its keys (by another tool) loses its keys, so the program rebuilds them.
CREATE TRIGGER musteriler_ad_degisti AFTER UPDATE OF MusteriFirma ON musteriler
    WHEN NEW.sira_anahtari IS OLD.sira_anahtari AND NEW.MusteriFirma IS NOT OLD.MusteriFirma
BEGIN
    UPDATE musteriler SET sira_anahtari = NULL, arama_anahtari = NULL WHERE id = NEW.id;
END;

-- The balances summed per account type, kept by the triggers below, so the list's totals need not read every
-- customer. A customer without a balance adds nothing.
CREATE TABLE liste_toplami (Turu TEXT PRIMARY KEY, Bakiye NOT NULL DEFAULT 0);
CREATE TRIGGER liste_toplami_ekle AFTER INSERT ON musteriler WHEN NEW.Bakiye IS NOT NULL
BEGIN
    INSERT INTO liste_toplami (Turu, Bakiye) VALUES (NEW.Turu, NEW.Bakiye)
        ON CONFLICT (Turu) DO UPDATE SET Bakiye = Bakiye + excluded.Bakiye;
END;
CREATE TRIGGER liste_toplami_sil AFTER DELETE ON musteriler WHEN OLD.Bakiye IS NOT NULL
BEGIN
    UPDATE liste_toplami SET Bakiye = Bakiye - OLD.Bakiye WHERE Turu = OLD.Turu;
END;
CREATE TRIGGER liste_toplami_degisti AFTER UPDATE OF Bakiye, Turu ON musteriler
    WHEN NEW.Bakiye IS NOT OLD.Bakiye OR NEW.Turu IS NOT OLD.Turu
BEGIN
    UPDATE liste_toplami SET Bakiye = Bakiye - OLD.Bakiye WHERE Turu = OLD.Turu AND OLD.Bakiye IS NOT NULL;
    INSERT INTO liste_toplami (Turu, Bakiye) SELECT NEW.Turu, NEW.Bakiye WHERE NEW.Bakiye IS NOT NULL
        ON CONFLICT (Turu) DO UPDATE SET Bakiye = Bakiye + excluded.Bakiye;
END;

CREATE TABLE veresiye (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    mus_kodu TEXT NOT NULL,
    Tarih TEXT,
    Saat TEXT,
    Aciklama TEXT,
    Miktar REAL,
    Birim TEXT,
    KDV REAL,
    Eklenen INTEGER,
    Odenen INTEGER,
    Kullanici TEXT,
    Kayit TEXT
);
CREATE INDEX veresiye_mus_kodu ON veresiye (mus_kodu, id);
-- An account's sums read from the index alone.
CREATE INDEX veresiye_toplam ON veresiye (mus_kodu, Eklenen, Odenen);
-- A customer's last payment and first movement, each one step into an index.
CREATE INDEX veresiye_odeme ON veresiye (mus_kodu, Tarih) WHERE Odenen > 0;
CREATE INDEX veresiye_musteri_tarih ON veresiye (mus_kodu, Tarih);

-- A day's movements (Gün Sonu) read through their date.
CREATE INDEX veresiye_tarih ON veresiye (Tarih);

-- What was deleted, kept so that "Silinen Kayıtlar" can put it back. A deleted customer's row goes to
-- silinen_musteriler, its movements to silinen_hareketler, each with its columns as they were (musteri_id and
-- hareket_id: the row's id in musteriler and veresiye). A movement deleted with its customer names that
-- customer's row in silinen_musteri and comes back only with it; one deleted on its own has NULL there.
-- Silen and Silinme: who deleted the row and when (YYYY-MM-DD HH:MM:SS). Files of this format made before these
-- tables existed get them when the program opens them.
CREATE TABLE silinen_musteriler (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    musteri_id INTEGER,
    mus_kodu TEXT NOT NULL,
    MusteriFirma TEXT,
    Turu TEXT,
    Telefon1 TEXT,
    Telefon2 TEXT,
    Sehir TEXT,
    Adres TEXT,
    vd TEXT,
    vdn TEXT,
    Bakiye INTEGER,
    Sonislem TEXT,
    Gun INTEGER,
    KrediLimiti INTEGER,
    Silen TEXT,
    Silinme TEXT
);
CREATE TABLE silinen_hareketler (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    hareket_id INTEGER,
    mus_kodu TEXT NOT NULL,
    Tarih TEXT,
    Saat TEXT,
    Aciklama TEXT,
    Miktar REAL,
    Birim TEXT,
    KDV REAL,
    Eklenen INTEGER,
    Odenen INTEGER,
    Kullanici TEXT,
    Kayit TEXT,
    silinen_musteri INTEGER,
    Silen TEXT,
    Silinme TEXT
);
CREATE INDEX silinen_hareketler_musteri ON silinen_hareketler (silinen_musteri);

CREATE TABLE "User" (
    Username TEXT NOT NULL COLLATE NOCASE,
    Password TEXT NOT NULL
);
CREATE UNIQUE INDEX User_Username ON "User" (Username);

CREATE TABLE son_musterino (musterino INTEGER);
CREATE TABLE birimler (birimadi TEXT NOT NULL);
CREATE TABLE surum (surum TEXT);

INSERT INTO son_musterino (musterino) VALUES (0);
INSERT INTO birimler (birimadi) VALUES
    ('Adet'), ('Kg'), ('Gr'), ('Lt'), ('Metre'), ('Paket'), ('Koli'), ('Düzine'), ('Kasa'), ('Çuval'),
    ('Şişe'), ('Kutu'), ('Top'), ('Bağ'), ('Deste'), ('Takım'), ('Çift'), ('Porsiyon');
