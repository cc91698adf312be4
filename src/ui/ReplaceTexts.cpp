#include "ui/ReplaceTexts.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

const ReplaceTexts kEnglish = {"Don't Replace",
                               "Replace",
                               "The %s '%s' already exists. Do you wish to replace existing",
                               "file",
                               "folder",
                               "symbolic link",
                               "Created :",
                               "Modified :",
                               "Size :",
                               "Kind :",
                               "Path :",
                               "Version :",
                               "With",
                               "Apply to all future collisions"};

struct LanguageTexts {
    const char* code;
    ReplaceTexts texts;
};

const LanguageTexts kTranslations[] = {
    {"fr",
     {"Font pas Replacer", "Replacer",
      "Le %s de '%s' existe déjà Vous souhaitez substituer exister.", "fichier", "chemise",
      "lien symbolique", "Créions :", "Modifié :", "Taille :", "Aimable :", "Voie d'accès :",
      "Version :", "Avec", "Appliquez-vous à toutes les futures collisions"}},
    {"es",
     {"Hacer no Sustituir", "Sustituir",
      "El %s del '%s' existe ya  Usted desea substituir existir.", "fichero", "carpeta",
      "conexión simbólica", "Crear :", "Modificado :", "Talla :", "Bueno :", "Camino :",
      "Versión :", "Con", "Apliqúese a todas las colisiones futuras"}},
    {"de",
     {"Ausführen nicht Ersetzen", "Ersetzen",
      "Das %s '%s' existiert bereits  Möchten Sie das Existieren ersetzen.", "datei", "heft",
      "symbolisches link", "Erzeugen :", "Geändert :", "Größe :", "Freundlich :", "Pfad :",
      "Version :", "Mit", "Treffen Sie auf alle zukünftigen Zusammenstöße zu"}},
    {"it",
     {"Fare non Sostituire", "Sostituire",
      "Il %s di '%s' già esiste  Desiderate sostituire esistere.", "archivio",
      "dispositivo di piegatura", "collegamento simbolico", "Creato :", "Modificato :", "Formato :",
      "Gentile :", "Percorso :", "Versione :", "Con", "Applichisi a tutti gli scontri futuri"}},
    {"no",
     {"Ikke gjør det Ombytte", "Ombytte",
      "Det %s '%s' allerede eksisterer. Vil du ønske som erstatning for eksisterende", "arkiv",
      "brosjyre", "symbolsk koble sammen", "Skapt :", "Modifisert :", "Størrelse :", "Slag :",
      "Sti :", "Versjon :", "Med", "Henvende seg til alle fremtid sammenstøtet"}},
    {"sv",
     {"Icke gör det Ombytta", "Ombytta",
      "%s '%s' redan existerar. Vill du önska till ombytta existerande", "arkivet", "broschyren",
      "symbolisk länken", "Skapade :", "Modifierat :", "Storleken :", "Slagen :", "Stian :",
      "Versionen :", "Med", "Hänvände sig till alla framtida sammanstöt"}},
    {"da",
     {"Lad være Skifte ud", "Skifte ud",
      "Den %s '%s' allerede eksisterer. Lave jer ønske som erstatning for nærværende", "fil",
      "omslag", "symbolsk samkøre", "Skabt :", "Forandret :", "Nummer :", "Sort :", "Bane :",
      "Gengivelse :", "Hos", "Henvende sig til al senere sammenstød"}},
    {"nl",
     {"Verrichten niet Vervangen", "Vervangen",
      "Naar de %s '%s' reeds bestaan. Verrichten u wil voor vervangen voorhanden", "vijl",
      "vouwblad", "zinnebeeldig verbinding",
      "Wekken :", "Gewijzigde :", "Spanwijdte :", "Welwillend :", "Pad :", "Voorstelling :", "Van",
      "Toepassen voor helemaal toekomstig botsing"}},
    // "arquivo" is the everyday Portuguese word for a file on a computer.
    {"pt",
     {"Não substitua", "Substitua", "O %s '%s' existe já  Você deseja substituir existir.",
      "arquivo", "dobrador", "ligação simbólica", "Criado :", "Modificado :", "Tamanho :",
      "Amável :", "Trajeto :", "Versão :", "Com", "Aplique a todas as colisões futuras"}},
};

// Cuts text to at most maxBytes without splitting a UTF-8 character.
void CutUtf8(std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes)
        return;
    size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
}

} // namespace

const ReplaceTexts& ReplaceTextsFor(const char* language) {
    if (language != nullptr)
        for (const auto& entry : kTranslations)
            if (std::strcmp(entry.code, language) == 0)
                return entry.texts;
    return kEnglish;
}

const char* ReplaceKindWord(const ReplaceTexts& texts, const char* path) {
    struct stat info;
    if (path != nullptr && lstat(path, &info) == 0) {
        if (S_ISLNK(info.st_mode))
            return texts.kindLink;
        if (S_ISDIR(info.st_mode))
            return texts.kindFolder;
    }
    return texts.kindFile;
}

std::string ReplaceQuestion(const char* existingPath, const char* language) {
    const ReplaceTexts& texts = ReplaceTextsFor(language);
    const char* leaf = existingPath != nullptr ? std::strrchr(existingPath, '/') : nullptr;
    leaf = leaf != nullptr ? leaf + 1 : (existingPath != nullptr ? existingPath : "");
    int needed =
        std::snprintf(nullptr, 0, texts.question, ReplaceKindWord(texts, existingPath), leaf);
    std::string question(needed > 0 ? size_t(needed) : 0, '\0');
    std::snprintf(question.data(), question.size() + 1, texts.question,
                  ReplaceKindWord(texts, existingPath), leaf);
    CutUtf8(question, 99);
    return question;
}
