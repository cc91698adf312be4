// Made by locale/catalogue/embed.cmake from locale/catalogue/*.po; do not edit.
#include <string_view>

namespace catalogue {

struct EmbeddedSource {
    const char* language;
    std::string_view bytes;
};

extern const EmbeddedSource kEmbeddedSources[] = {
    {"en", R"po(# Tarnwhistle installer: user-interface texts in English.
# msgctxt is the number of the text, msgid the English text.
# Keep every %s and %d of the English text, in the same order.
msgid ""
msgstr ""
"Project-Id-Version: Tarnwhistle 1.3.1\n"
"PO-Revision-Date: 2026-12-07 08:00+0000\n"
"Last-Translator: Tarnwhistle developers\n"
"Language-Team: English\n"
"Language: en\n"
"MIME-Version: 1.0\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Content-Transfer-Encoding: 8bit\n"

#. The ten language names, one a line, in the order of the language menu.
msgctxt "1000"
msgid ""
"English\n"
"French\n"
"Spanish\n"
"German\n"
"Italian\n"
"Norwegian\n"
"Swedish\n"
"Danish\n"
"Dutch\n"
"Portuguese"
msgstr ""
"English\n"
"French\n"
"Spanish\n"
"German\n"
"Italian\n"
"Norwegian\n"
"Swedish\n"
"Danish\n"
"Dutch\n"
"Portuguese"

msgctxt "1001"
msgid "License"
msgstr "License"

msgctxt "1002"
msgid "Installation"
msgstr "Installation"

msgctxt "1003"
msgid "Group"
msgstr "Group"

msgctxt "1004"
msgid "Files"
msgstr "Files"

msgctxt "1005"
msgid "Change destination folder"
msgstr "Change destination folder"

msgctxt "1006"
msgid "Disks"
msgstr "Disks"

msgctxt "1007"
msgid "Install"
msgstr "Install"

msgctxt "1008"
msgid "Agree"
msgstr "Agree"

msgctxt "1009"
msgid "Select destination folder and press Install"
msgstr "Select destination folder and press Install"

msgctxt "1010"
msgid "Read license and select the Agree button"
msgstr "Read license and select the Agree button"

msgctxt "1011"
msgid "Abort"
msgstr "Abort"

msgctxt "1012"
msgid "Stop"
msgstr "Stop"

#. Followed by a folder name and text 1014.
msgctxt "1013"
msgid "The folder '"
msgstr "The folder '"

#. Follows text 1013 and a folder name.
msgctxt "1014"
msgid "' already exists in the destination folder."
msgstr "' already exists in the destination folder."

msgctxt "1015"
msgid "Cancel"
msgstr "Cancel"

msgctxt "1016"
msgid "Replace"
msgstr "Replace"

msgctxt "1017"
msgid "OK"
msgstr "OK"

msgctxt "1018"
msgid "Later"
msgstr "Later"

msgctxt "1019"
msgid "Run"
msgstr "Run"

#. Asked after text 1013, the folder name and text 1014.
msgctxt "1020"
msgid ""
"\n"
"Do you wish to replace?"
msgstr ""
"\n"
"Do you wish to replace?"

msgctxt "1021"
msgid "Installation can not continue."
msgstr "Installation can not continue."

msgctxt "1022"
msgid "You may run the application at your own risk."
msgstr "You may run the application at your own risk."

#. Fills the first %s of texts 1031, 1043, 1044 and 1045.
msgctxt "1023"
msgid "requires"
msgstr "requires"

#. Fills the first %s of texts 1031, 1043, 1044 and 1045 (a suggestion).
msgctxt "1024"
msgid "suggests"
msgstr "suggests"

#. Written into the installation log.
msgctxt "1025"
msgid "required"
msgstr "required"

#. Written into the installation log.
msgctxt "1026"
msgid "suggested"
msgstr "suggested"

msgctxt "1027"
msgid "Installation was stopped before it could complete."
msgstr "Installation was stopped before it could complete."

msgctxt "1028"
msgid "Continue"
msgstr "Continue"

msgctxt "1029"
msgid "Restart Later"
msgstr "Restart Later"

msgctxt "1030"
msgid "Restart Now"
msgstr "Restart Now"

#. The first %s is the application, the second text 1023 or 1024.
#, c-format
msgctxt "1031"
msgid "The application '%s' could not be found. The installation %s that this application be present for the installed software to work properly."
msgstr "The application '%s' could not be found. The installation %s that this application be present for the installed software to work properly."

msgctxt "1032"
msgid "Checking System Resources..."
msgstr "Checking System Resources..."

msgctxt "1033"
msgid "Creating deinstaller..."
msgstr "Creating deinstaller..."

#. Followed by a program name and text 1035.
msgctxt "1034"
msgid "Do you wish to run '"
msgstr "Do you wish to run '"

#. Follows text 1034 and a program name.
msgctxt "1035"
msgid "' now?"
msgstr "' now?"

#. Item number, number of items, item name.
#, c-format
msgctxt "1036"
msgid "Installing %d of %d (%s)"
msgstr "Installing %d of %d (%s)"

msgctxt "1037"
msgid "Installation Complete"
msgstr "Installation Complete"

msgctxt "1038"
msgid "Installation successfully completed."
msgstr "Installation successfully completed."

#, c-format
msgctxt "1039"
msgid "'%s' was unable to be run at this time."
msgstr "'%s' was unable to be run at this time."

msgctxt "1040"
msgid "Failure to find selected installation folder. Unable to install files."
msgstr "Failure to find selected installation folder. Unable to install files."

#, c-format
msgctxt "1041"
msgid "Unable to create installation folder '%s'. Unable to install files."
msgstr "Unable to create installation folder '%s'. Unable to install files."

msgctxt "1042"
msgid ""
"\n"
"\n"
"The system needs to be restarted for the installation to take effect."
msgstr ""
"\n"
"\n"
"The system needs to be restarted for the installation to take effect."

#. The first %s is the library, the second text 1023 or 1024.
#, c-format
msgctxt "1043"
msgid "The shared library '%s' could not be found. The installation %s that this library be present for the installed software to work properly."
msgstr "The shared library '%s' could not be found. The installation %s that this library be present for the installed software to work properly."

#. Text 1023 or 1024, required memory, available memory, text 1021 or 1022.
#, c-format
msgctxt "1044"
msgid "Installation %s %d MB of physical RAM, and only %d MB is available. %s"
msgstr "Installation %s %d MB of physical RAM, and only %d MB is available. %s"

#. Text 1023 or 1024, required space, volume name, free space.
#, c-format
msgctxt "1045"
msgid "Installation %s %s of disk space, and the destination volume '%s' only has %s free."
msgstr "Installation %s %s of disk space, and the destination volume '%s' only has %s free."
)po"},
    {"fr", R"po(# Tarnwhistle installer: user-interface texts in French.
# msgctxt is the number of the text, msgid the English text.
# Keep every %s and %d of the English text, in the same order.
msgid ""
msgstr ""
"Project-Id-Version: Tarnwhistle 1.3.1\n"
"PO-Revision-Date: 2026-12-07 08:00+0000\n"
"Last-Translator: Tarnwhistle developers\n"
"Language-Team: French\n"
"Language: fr\n"
"MIME-Version: 1.0\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Content-Transfer-Encoding: 8bit\n"

#. The ten language names, one a line, in the order of the language menu.
msgctxt "1000"
msgid ""
"English\n"
"French\n"
"Spanish\n"
"German\n"
"Italian\n"
"Norwegian\n"
"Swedish\n"
"Danish\n"
"Dutch\n"
"Portuguese"
msgstr ""
"Anglais\n"
"Français\n"
"Espagnol\n"
"Allemand\n"
"Italien\n"
"Norvégien\n"
"Suédois\n"
"Danois\n"
"Néerlandais\n"
"Portugais"

msgctxt "1001"
msgid "License"
msgstr "Licence"

msgctxt "1002"
msgid "Installation"
msgstr "Installation"

msgctxt "1003"
msgid "Group"
msgstr "Groupe"

msgctxt "1004"
msgid "Files"
msgstr "Fichiers"

msgctxt "1005"
msgid "Change destination folder"
msgstr "Changer le dossier de destination"

msgctxt "1006"
msgid "Disks"
msgstr "Disques"

msgctxt "1007"
msgid "Install"
msgstr "Installer"

msgctxt "1008"
msgid "Agree"
msgstr "Accepter"

msgctxt "1009"
msgid "Select destination folder and press Install"
msgstr "Choisissez le dossier de destination et cliquez sur Installer"

msgctxt "1010"
msgid "Read license and select the Agree button"
msgstr "Lisez la licence et cliquez sur le bouton Accepter"

msgctxt "1011"
msgid "Abort"
msgstr "Abandonner"

msgctxt "1012"
msgid "Stop"
msgstr "Arrêter"

#. Followed by a folder name and text 1014.
msgctxt "1013"
msgid "The folder '"
msgstr "Le dossier '"

#. Follows text 1013 and a folder name.
msgctxt "1014"
msgid "' already exists in the destination folder."
msgstr "' existe déjà dans le dossier de destination."

msgctxt "1015"
msgid "Cancel"
msgstr "Annuler"

msgctxt "1016"
msgid "Replace"
msgstr "Remplacer"

msgctxt "1017"
msgid "OK"
msgstr "OK"

msgctxt "1018"
msgid "Later"
msgstr "Plus tard"

msgctxt "1019"
msgid "Run"
msgstr "Lancer"

#. Asked after text 1013, the folder name and text 1014.
msgctxt "1020"
msgid ""
"\n"
"Do you wish to replace?"
msgstr ""
"\n"
"Voulez-vous le remplacer ?"

msgctxt "1021"
msgid "Installation can not continue."
msgstr "L'installation ne peut pas continuer."

msgctxt "1022"
msgid "You may run the application at your own risk."
msgstr "Vous pouvez lancer l'application à vos risques et périls."

#. Fills the first %s of texts 1031, 1043, 1044 and 1045.
msgctxt "1023"
msgid "requires"
msgstr "exige"

#. Fills the first %s of texts 1031, 1043, 1044 and 1045 (a suggestion).
msgctxt "1024"
msgid "suggests"
msgstr "recommande"

#. Written into the installation log.
msgctxt "1025"
msgid "required"
msgstr "requis"

#. Written into the installation log.
msgctxt "1026"
msgid "suggested"
msgstr "recommandé"

msgctxt "1027"
msgid "Installation was stopped before it could complete."
msgstr "L'installation a été interrompue avant la fin."

msgctxt "1028"
msgid "Continue"
msgstr "Continuer"

msgctxt "1029"
msgid "Restart Later"
msgstr "Redémarrer plus tard"

msgctxt "1030"
msgid "Restart Now"
msgstr "Redémarrer maintenant"

#. The first %s is the application, the second text 1023 or 1024.
#, c-format
msgctxt "1031"
msgid "The application '%s' could not be found. The installation %s that this application be present for the installed software to work properly."
msgstr "L'application '%s' est introuvable. L'installation %s la présence de cette application pour que le logiciel installé fonctionne correctement."

msgctxt "1032"
msgid "Checking System Resources..."
msgstr "Vérification des ressources du système..."

msgctxt "1033"
msgid "Creating deinstaller..."
msgstr "Création du programme de désinstallation..."

#. Followed by a program name and text 1035.
msgctxt "1034"
msgid "Do you wish to run '"
msgstr "Voulez-vous lancer '"

#. Follows text 1034 and a program name.
msgctxt "1035"
msgid "' now?"
msgstr "' maintenant ?"

#. Item number, number of items, item name.
#, c-format
msgctxt "1036"
msgid "Installing %d of %d (%s)"
msgstr "Installation de %d de %d (%s)"

msgctxt "1037"
msgid "Installation Complete"
msgstr "Installation terminée"

msgctxt "1038"
msgid "Installation successfully completed."
msgstr "L'installation s'est terminée avec succès."

#, c-format
msgctxt "1039"
msgid "'%s' was unable to be run at this time."
msgstr "'%s' n'a pas pu être lancé pour le moment."

msgctxt "1040"
msgid "Failure to find selected installation folder. Unable to install files."
msgstr "Le dossier d'installation choisi est introuvable. Impossible d'installer les fichiers."

#, c-format
msgctxt "1041"
msgid "Unable to create installation folder '%s'. Unable to install files."
msgstr "Impossible de créer le dossier d'installation '%s'. Impossible d'installer les fichiers."

msgctxt "1042"
msgid ""
"\n"
"\n"
"The system needs to be restarted for the installation to take effect."
msgstr ""
"\n"
"\n"
"Le système doit être redémarré pour que l'installation prenne effet."

#. The first %s is the library, the second text 1023 or 1024.
#, c-format
msgctxt "1043"
msgid "The shared library '%s' could not be found. The installation %s that this library be present for the installed software to work properly."
msgstr "La bibliothèque partagée '%s' est introuvable. L'installation %s la présence de cette bibliothèque pour que le logiciel installé fonctionne correctement."

#. Text 1023 or 1024, required memory, available memory, text 1021 or 1022.
#, c-format
msgctxt "1044"
msgid "Installation %s %d MB of physical RAM, and only %d MB is available. %s"
msgstr "L'installation %s %d Mo de RAM physique, mais seuls %d Mo sont disponibles. %s"

#. Text 1023 or 1024, required space, volume name, free space.
#, c-format
msgctxt "1045"
msgid "Installation %s %s of disk space, and the destination volume '%s' only has %s free."
msgstr "L'installation %s %s d'espace disque, mais le volume de destination '%s' n'a que %s de libre."
)po"},
    {"es", R"po(# Tarnwhistle installer: user-interface texts in Spanish.
# msgctxt is the number of the text, msgid the English text.
# Keep every %s and %d of the English text, in the same order.
msgid ""
msgstr ""
"Project-Id-Version: Tarnwhistle 1.3.1\n"
"PO-Revision-Date: 2026-12-07 08:00+0000\n"
"Last-Translator: Tarnwhistle developers\n"
"Language-Team: Spanish\n"
"Language: es\n"
"MIME-Version: 1.0\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Content-Transfer-Encoding: 8bit\n"

#. The ten language names, one a line, in the order of the language menu.
msgctxt "1000"
msgid ""
"English\n"
"French\n"
"Spanish\n"
"German\n"
"Italian\n"
"Norwegian\n"
"Swedish\n"
"Danish\n"
"Dutch\n"
"Portuguese"
msgstr ""
"Inglés\n"
"Francés\n"
"Español\n"
"Alemán\n"
"Italiano\n"
"Noruego\n"
"Sueco\n"
"Danés\n"
"Neerlandés\n"
"Portugués"

msgctxt "1001"
msgid "License"
msgstr "Licencia"

msgctxt "1002"
msgid "Installation"
msgstr "Instalación"

msgctxt "1003"
msgid "Group"
msgstr "Grupo"

msgctxt "1004"
msgid "Files"
msgstr "Archivos"

msgctxt "1005"
msgid "Change destination folder"
msgstr "Cambiar la carpeta de destino"

msgctxt "1006"
msgid "Disks"
msgstr "Discos"

msgctxt "1007"
msgid "Install"
msgstr "Instalar"

msgctxt "1008"
msgid "Agree"
msgstr "Acepto"

msgctxt "1009"
msgid "Select destination folder and press Install"
msgstr "Seleccione la carpeta de destino y pulse Instalar"

msgctxt "1010"
msgid "Read license and select the Agree button"
msgstr "Lea la licencia y pulse el botón Acepto"

msgctxt "1011"
msgid "Abort"
msgstr "Interrumpir"

msgctxt "1012"
msgid "Stop"
msgstr "Detener"

#. Followed by a folder name and text 1014.
msgctxt "1013"
msgid "The folder '"
msgstr "La carpeta '"

#. Follows text 1013 and a folder name.
msgctxt "1014"
msgid "' already exists in the destination folder."
msgstr "' ya existe en la carpeta de destino."

msgctxt "1015"
msgid "Cancel"
msgstr "Cancelar"

msgctxt "1016"
msgid "Replace"
msgstr "Reemplazar"

msgctxt "1017"
msgid "OK"
msgstr "Aceptar"

msgctxt "1018"
msgid "Later"
msgstr "Más tarde"

msgctxt "1019"
msgid "Run"
msgstr "Ejecutar"

#. Asked after text 1013, the folder name and text 1014.
msgctxt "1020"
msgid ""
"\n"
"Do you wish to replace?"
msgstr ""
"\n"
"¿Desea reemplazarla?"

msgctxt "1021"
msgid "Installation can not continue."
msgstr "La instalación no puede continuar."

msgctxt "1022"
msgid "You may run the application at your own risk."
msgstr "Puede ejecutar la aplicación bajo su propia responsabilidad."

#. Fills the first %s of texts 1031, 1043, 1044 and 1045.
msgctxt "1023"
msgid "requires"
msgstr "requiere"

#. Fills the first %s of texts 1031, 1043, 1044 and 1045 (a suggestion).
msgctxt "1024"
msgid "suggests"
msgstr "recomienda"

#. Written into the installation log.
msgctxt "1025"
msgid "required"
msgstr "requerido"

#. Written into the installation log.
msgctxt "1026"
msgid "suggested"
msgstr "recomendado"

msgctxt "1027"
msgid "Installation was stopped before it could complete."
msgstr "La instalación se detuvo antes de completarse."

msgctxt "1028"
msgid "Continue"
msgstr "Continuar"

msgctxt "1029"
msgid "Restart Later"
msgstr "Reiniciar más tarde"

msgctxt "1030"
msgid "Restart Now"
msgstr "Reiniciar ahora"

#. The first %s is the application, the second text 1023 or 1024.
#, c-format
msgctxt "1031"
msgid "The application '%s' could not be found. The installation %s that this application be present for the installed software to work properly."
msgstr "No se encontró la aplicación '%s'. La instalación %s que esta aplicación esté presente para que el software instalado funcione correctamente."

msgctxt "1032"
msgid "Checking System Resources..."
msgstr "Comprobando los recursos del sistema..."

msgctxt "1033"
msgid "Creating deinstaller..."
msgstr "Creando el desinstalador..."

#. Followed by a program name and text 1035.
msgctxt "1034"
msgid "Do you wish to run '"
msgstr "¿Desea ejecutar '"

#. Follows text 1034 and a program name.
msgctxt "1035"
msgid "' now?"
msgstr "' ahora?"

#. Item number, number of items, item name.
#, c-format
msgctxt "1036"
msgid "Installing %d of %d (%s)"
msgstr "Instalando %d de %d (%s)"

msgctxt "1037"
msgid "Installation Complete"
msgstr "Instalación completada"

msgctxt "1038"
msgid "Installation successfully completed."
msgstr "La instalación se completó correctamente."

#, c-format
msgctxt "1039"
msgid "'%s' was unable to be run at this time."
msgstr "No se pudo ejecutar '%s' en este momento."

msgctxt "1040"
msgid "Failure to find selected installation folder. Unable to install files."
msgstr "No se encontró la carpeta de instalación seleccionada. No se pueden instalar los archivos."

#, c-format
msgctxt "1041"
msgid "Unable to create installation folder '%s'. Unable to install files."
msgstr "No se pudo crear la carpeta de instalación '%s'. No se pueden instalar los archivos."

msgctxt "1042"
msgid ""
"\n"
"\n"
"The system needs to be restarted for the installation to take effect."
msgstr ""
"\n"
"\n"
"Es necesario reiniciar el sistema para que la instalación surta efecto."

#. The first %s is the library, the second text 1023 or 1024.
#, c-format
msgctxt "1043"
msgid "The shared library '%s' could not be found. The installation %s that this library be present for the installed software to work properly."
msgstr "No se encontró la biblioteca compartida '%s'. La instalación %s que esta biblioteca esté presente para que el software instalado funcione correctamente."

#. Text 1023 or 1024, required memory, available memory, text 1021 or 1022.
#, c-format
msgctxt "1044"
msgid "Installation %s %d MB of physical RAM, and only %d MB is available. %s"
msgstr "La instalación %s %d MB de memoria RAM física y solo hay %d MB disponibles. %s"

#. Text 1023 or 1024, required space, volume name, free space.
#, c-format
msgctxt "1045"
msgid "Installation %s %s of disk space, and the destination volume '%s' only has %s free."
msgstr "La instalación %s %s de espacio en disco y el volumen de destino '%s' solo tiene %s libres."
)po"},
    {"de", R"po(# Tarnwhistle installer: user-interface texts in German.
# msgctxt is the number of the text, msgid the English text.
# Keep every %s and %d of the English text, in the same order.
msgid ""
msgstr ""
"Project-Id-Version: Tarnwhistle 1.3.1\n"
"PO-Revision-Date: 2026-12-07 08:00+0000\n"
"Last-Translator: Tarnwhistle developers\n"
"Language-Team: German\n"
"Language: de\n"
"MIME-Version: 1.0\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Content-Transfer-Encoding: 8bit\n"

#. The ten language names, one a line, in the order of the language menu.
msgctxt "1000"
msgid ""
"English\n"
"French\n"
"Spanish\n"
"German\n"
"Italian\n"
"Norwegian\n"
"Swedish\n"
"Danish\n"
"Dutch\n"
"Portuguese"
msgstr ""
"Englisch\n"
"Französisch\n"
"Spanisch\n"
"Deutsch\n"
"Italienisch\n"
"Norwegisch\n"
"Schwedisch\n"
"Dänisch\n"
"Niederländisch\n"
"Portugiesisch"

msgctxt "1001"
msgid "License"
msgstr "Lizenz"

#. Left empty on purpose: the German window shows no caption here.
msgctxt "1002"
msgid "Installation"
msgstr ""

msgctxt "1003"
msgid "Group"
msgstr "Gruppe"

msgctxt "1004"
msgid "Files"
msgstr "Dateien"

msgctxt "1005"
msgid "Change destination folder"
msgstr "Zielordner ändern"

msgctxt "1006"
msgid "Disks"
msgstr "Laufwerke"

msgctxt "1007"
msgid "Install"
msgstr "Installieren"

msgctxt "1008"
msgid "Agree"
msgstr "Zustimmen"

msgctxt "1009"
msgid "Select destination folder and press Install"
msgstr "Wählen Sie den Zielordner und drücken Sie Installieren"

msgctxt "1010"
msgid "Read license and select the Agree button"
msgstr "Lesen Sie die Lizenz und drücken Sie Zustimmen"

msgctxt "1011"
msgid "Abort"
msgstr "Abbrechen"

msgctxt "1012"
msgid "Stop"
msgstr "Anhalten"

#. Followed by a folder name and text 1014.
msgctxt "1013"
msgid "The folder '"
msgstr "Der Ordner '"

#. Follows text 1013 and a folder name.
msgctxt "1014"
msgid "' already exists in the destination folder."
msgstr "' existiert bereits im Zielordner."

msgctxt "1015"
msgid "Cancel"
msgstr "Abbrechen"

msgctxt "1016"
msgid "Replace"
msgstr "Ersetzen"

msgctxt "1017"
msgid "OK"
msgstr "OK"

msgctxt "1018"
msgid "Later"
msgstr "Später"

msgctxt "1019"
msgid "Run"
msgstr "Starten"

#. Asked after text 1013, the folder name and text 1014.
msgctxt "1020"
msgid ""
"\n"
"Do you wish to replace?"
msgstr ""
"\n"
"Möchten Sie ihn ersetzen?"

msgctxt "1021"
msgid "Installation can not continue."
msgstr "Die Installation kann nicht fortgesetzt werden."

msgctxt "1022"
msgid "You may run the application at your own risk."
msgstr "Sie können die Anwendung auf eigenes Risiko ausführen."

#. Fills the first %s of texts 1031, 1043, 1044 and 1045.
msgctxt "1023"
msgid "requires"
msgstr "erfordert"

#. Fills the first %s of texts 1031, 1043, 1044 and 1045 (a suggestion).
msgctxt "1024"
msgid "suggests"
msgstr "empfiehlt"

#. Written into the installation log.
msgctxt "1025"
msgid "required"
msgstr "erforderlich"

#. Written into the installation log.
msgctxt "1026"
msgid "suggested"
msgstr "empfohlen"

msgctxt "1027"
msgid "Installation was stopped before it could complete."
msgstr "Die Installation wurde vor ihrem Abschluss angehalten."

msgctxt "1028"
msgid "Continue"
msgstr "Fortfahren"

msgctxt "1029"
msgid "Restart Later"
msgstr "Später neu starten"

msgctxt "1030"
msgid "Restart Now"
msgstr "Jetzt neu starten"

#. The first %s is the application, the second text 1023 or 1024.
#, c-format
msgctxt "1031"
msgid "The application '%s' could not be found. The installation %s that this application be present for the installed software to work properly."
msgstr "Die Anwendung '%s' wurde nicht gefunden. Die Installation %s, dass diese Anwendung vorhanden ist, damit die installierte Software richtig funktioniert."

msgctxt "1032"
msgid "Checking System Resources..."
msgstr "Systemressourcen werden geprüft..."

msgctxt "1033"
msgid "Creating deinstaller..."
msgstr "Deinstallationsprogramm wird erstellt..."

#. Followed by a program name and text 1035.
msgctxt "1034"
msgid "Do you wish to run '"
msgstr "Möchten Sie '"

#. Follows text 1034 and a program name.
msgctxt "1035"
msgid "' now?"
msgstr "' jetzt starten?"

#. Item number, number of items, item name.
#, c-format
msgctxt "1036"
msgid "Installing %d of %d (%s)"
msgstr "Installiere %d von %d (%s)"

msgctxt "1037"
msgid "Installation Complete"
msgstr "Installation abgeschlossen"

msgctxt "1038"
msgid "Installation successfully completed."
msgstr "Die Installation wurde erfolgreich abgeschlossen."

#, c-format
msgctxt "1039"
msgid "'%s' was unable to be run at this time."
msgstr "'%s' konnte derzeit nicht gestartet werden."

msgctxt "1040"
msgid "Failure to find selected installation folder. Unable to install files."
msgstr "Der gewählte Installationsordner wurde nicht gefunden. Die Dateien können nicht installiert werden."

#, c-format
msgctxt "1041"
msgid "Unable to create installation folder '%s'. Unable to install files."
msgstr "Der Installationsordner '%s' konnte nicht erstellt werden. Die Dateien können nicht installiert werden."

msgctxt "1042"
msgid ""
"\n"
"\n"
"The system needs to be restarted for the installation to take effect."
msgstr ""
"\n"
"\n"
"Das System muss neu gestartet werden, damit die Installation wirksam wird."

#. The first %s is the library, the second text 1023 or 1024.
#, c-format
msgctxt "1043"
msgid "The shared library '%s' could not be found. The installation %s that this library be present for the installed software to work properly."
msgstr "Die gemeinsam genutzte Bibliothek '%s' wurde nicht gefunden. Die Installation %s, dass diese Bibliothek vorhanden ist, damit die installierte Software richtig funktioniert."

#. Text 1023 or 1024, required memory, available memory, text 1021 or 1022.
#, c-format
msgctxt "1044"
msgid "Installation %s %d MB of physical RAM, and only %d MB is available. %s"
msgstr "Die Installation %s %d MB physischen Arbeitsspeicher, es sind aber nur %d MB verfügbar. %s"

#. Text 1023 or 1024, required space, volume name, free space.
#, c-format
msgctxt "1045"
msgid "Installation %s %s of disk space, and the destination volume '%s' only has %s free."
msgstr "Die Installation %s %s freien Speicherplatz, aber das Ziellaufwerk '%s' hat nur %s frei."
)po"},
    {"it", R"po(# Tarnwhistle installer: user-interface texts in Italian.
# msgctxt is the number of the text, msgid the English text.
# Keep every %s and %d of the English text, in the same order.
msgid ""
msgstr ""
"Project-Id-Version: Tarnwhistle 1.3.1\n"
"PO-Revision-Date: 2026-12-07 08:00+0000\n"
"Last-Translator: Tarnwhistle developers\n"
"Language-Team: Italian\n"
"Language: it\n"
"MIME-Version: 1.0\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Content-Transfer-Encoding: 8bit\n"

#. The ten language names, one a line, in the order of the language menu.
msgctxt "1000"
msgid ""
"English\n"
"French\n"
"Spanish\n"
"German\n"
"Italian\n"
"Norwegian\n"
"Swedish\n"
"Danish\n"
"Dutch\n"
"Portuguese"
msgstr ""
"Inglese\n"
"Francese\n"
"Spagnolo\n"
"Tedesco\n"
"Italiano\n"
"Norvegese\n"
"Svedese\n"
"Danese\n"
"Olandese\n"
"Portoghese"

msgctxt "1001"
msgid "License"
msgstr "Licenza"

msgctxt "1002"
msgid "Installation"
msgstr "Installazione"

msgctxt "1003"
msgid "Group"
msgstr "Gruppo"

msgctxt "1004"
msgid "Files"
msgstr "File"

msgctxt "1005"
msgid "Change destination folder"
msgstr "Cambia cartella di destinazione"

msgctxt "1006"
msgid "Disks"
msgstr "Dischi"

msgctxt "1007"
msgid "Install"
msgstr "Installa"

msgctxt "1008"
msgid "Agree"
msgstr "Accetto"

msgctxt "1009"
msgid "Select destination folder and press Install"
msgstr "Seleziona la cartella di destinazione e premi Installa"

msgctxt "1010"
msgid "Read license and select the Agree button"
msgstr "Leggi la licenza e premi il pulsante Accetto"

msgctxt "1011"
msgid "Abort"
msgstr "Interrompi"

msgctxt "1012"
msgid "Stop"
msgstr "Ferma"

#. Followed by a folder name and text 1014.
msgctxt "1013"
msgid "The folder '"
msgstr "La cartella '"

#. Follows text 1013 and a folder name.
msgctxt "1014"
msgid "' already exists in the destination folder."
msgstr "' esiste già nella cartella di destinazione."

msgctxt "1015"
msgid "Cancel"
msgstr "Annulla"

msgctxt "1016"
msgid "Replace"
msgstr "Sostituisci"

msgctxt "1017"
msgid "OK"
msgstr "OK"

msgctxt "1018"
msgid "Later"
msgstr "Più tardi"

msgctxt "1019"
msgid "Run"
msgstr "Avvia"

#. Asked after text 1013, the folder name and text 1014.
msgctxt "1020"
msgid ""
"\n"
"Do you wish to replace?"
msgstr ""
"\n"
"Vuoi sostituirla?"

msgctxt "1021"
msgid "Installation can not continue."
msgstr "L'installazione non può continuare."

msgctxt "1022"
msgid "You may run the application at your own risk."
msgstr "Puoi avviare l'applicazione a tuo rischio."

#. Fills the first %s of texts 1031, 1043, 1044 and 1045.
msgctxt "1023"
msgid "requires"
msgstr "richiede"

#. Fills the first %s of texts 1031, 1043, 1044 and 1045 (a suggestion).
msgctxt "1024"
msgid "suggests"
msgstr "consiglia"

#. Written into the installation log.
msgctxt "1025"
msgid "required"
msgstr "richiesto"

#. Written into the installation log.
msgctxt "1026"
msgid "suggested"
msgstr "consigliato"

msgctxt "1027"
msgid "Installation was stopped before it could complete."
msgstr "L'installazione è stata interrotta prima del completamento."

msgctxt "1028"
msgid "Continue"
msgstr "Continua"

msgctxt "1029"
msgid "Restart Later"
msgstr "Riavvia più tardi"

msgctxt "1030"
msgid "Restart Now"
msgstr "Riavvia ora"

#. The first %s is the application, the second text 1023 or 1024.
#, c-format
msgctxt "1031"
msgid "The application '%s' could not be found. The installation %s that this application be present for the installed software to work properly."
msgstr "Impossibile trovare l'applicazione '%s'. L'installazione %s che questa applicazione sia presente perché il software installato funzioni correttamente."

msgctxt "1032"
msgid "Checking System Resources..."
msgstr "Verifica delle risorse di sistema..."

msgctxt "1033"
msgid "Creating deinstaller..."
msgstr "Creazione del programma di disinstallazione..."

#. Followed by a program name and text 1035.
msgctxt "1034"
msgid "Do you wish to run '"
msgstr "Vuoi avviare '"

#. Follows text 1034 and a program name.
msgctxt "1035"
msgid "' now?"
msgstr "' adesso?"

#. Item number, number of items, item name.
#, c-format
msgctxt "1036"
msgid "Installing %d of %d (%s)"
msgstr "Installazione %d di %d (%s)"

msgctxt "1037"
msgid "Installation Complete"
msgstr "Installazione completata"

msgctxt "1038"
msgid "Installation successfully completed."
msgstr "Installazione completata correttamente."

#, c-format
msgctxt "1039"
msgid "'%s' was unable to be run at this time."
msgstr "Impossibile avviare '%s' in questo momento."

msgctxt "1040"
msgid "Failure to find selected installation folder. Unable to install files."
msgstr "Impossibile trovare la cartella di installazione selezionata. Impossibile installare i file."

#, c-format
msgctxt "1041"
msgid "Unable to create installation folder '%s'. Unable to install files."
msgstr "Impossibile creare la cartella di installazione '%s'. Impossibile installare i file."

msgctxt "1042"
msgid ""
"\n"
"\n"
"The system needs to be restarted for the installation to take effect."
msgstr ""
"\n"
"\n"
"È necessario riavviare il sistema perché l'installazione abbia effetto."

#. The first %s is the library, the second text 1023 or 1024.
#, c-format
msgctxt "1043"
msgid "The shared library '%s' could not be found. The installation %s that this library be present for the installed software to work properly."
msgstr "Impossibile trovare la libreria condivisa '%s'. L'installazione %s che questa libreria sia presente perché il software installato funzioni correttamente."

#. Text 1023 or 1024, required memory, available memory, text 1021 or 1022.
#, c-format
msgctxt "1044"
msgid "Installation %s %d MB of physical RAM, and only %d MB is available. %s"
msgstr "L'installazione %s %d MB di RAM fisica, ma sono disponibili solo %d MB. %s"

#. Text 1023 or 1024, required space, volume name, free space.
#, c-format
msgctxt "1045"
msgid "Installation %s %s of disk space, and the destination volume '%s' only has %s free."
msgstr "L'installazione %s %s di spazio su disco, ma il volume di destinazione '%s' ha solo %s liberi."
)po"},
    {"no", R"po(# Tarnwhistle installer: user-interface texts in Norwegian.
# msgctxt is the number of the text, msgid the English text.
# Keep every %s and %d of the English text, in the same order.
msgid ""
msgstr ""
"Project-Id-Version: Tarnwhistle 1.3.1\n"
"PO-Revision-Date: 2026-12-07 08:00+0000\n"
"Last-Translator: Tarnwhistle developers\n"
"Language-Team: Norwegian\n"
"Language: no\n"
"MIME-Version: 1.0\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Content-Transfer-Encoding: 8bit\n"

#. The ten language names, one a line, in the order of the language menu.
msgctxt "1000"
msgid ""
"English\n"
"French\n"
"Spanish\n"
"German\n"
"Italian\n"
"Norwegian\n"
"Swedish\n"
"Danish\n"
"Dutch\n"
"Portuguese"
msgstr ""
"Engelsk\n"
"Fransk\n"
"Spansk\n"
"Tysk\n"
"Italiensk\n"
"Norsk\n"
"Svensk\n"
"Dansk\n"
"Nederlandsk\n"
"Portugisisk"

msgctxt "1001"
msgid "License"
msgstr "Lisens"

msgctxt "1002"
msgid "Installation"
msgstr "Installasjon"

msgctxt "1003"
msgid "Group"
msgstr "Gruppe"

msgctxt "1004"
msgid "Files"
msgstr "Filer"

msgctxt "1005"
msgid "Change destination folder"
msgstr "Endre målmappe"

msgctxt "1006"
msgid "Disks"
msgstr "Disker"

msgctxt "1007"
msgid "Install"
msgstr "Installer"

msgctxt "1008"
msgid "Agree"
msgstr "Godta"

msgctxt "1009"
msgid "Select destination folder and press Install"
msgstr "Velg målmappe og trykk på Installer"

msgctxt "1010"
msgid "Read license and select the Agree button"
msgstr "Les lisensen og trykk på Godta"

msgctxt "1011"
msgid "Abort"
msgstr "Avbryt"

msgctxt "1012"
msgid "Stop"
msgstr "Stopp"

#. Followed by a folder name and text 1014.
msgctxt "1013"
msgid "The folder '"
msgstr "Mappen '"

#. Follows text 1013 and a folder name.
msgctxt "1014"
msgid "' already exists in the destination folder."
msgstr "' finnes allerede i målmappen."

msgctxt "1015"
msgid "Cancel"
msgstr "Avbryt"

msgctxt "1016"
msgid "Replace"
msgstr "Erstatt"

msgctxt "1017"
msgid "OK"
msgstr "OK"

msgctxt "1018"
msgid "Later"
msgstr "Senere"

msgctxt "1019"
msgid "Run"
msgstr "Kjør"

#. Asked after text 1013, the folder name and text 1014.
msgctxt "1020"
msgid ""
"\n"
"Do you wish to replace?"
msgstr ""
"\n"
"Vil du erstatte den?"

msgctxt "1021"
msgid "Installation can not continue."
msgstr "Installasjonen kan ikke fortsette."

msgctxt "1022"
msgid "You may run the application at your own risk."
msgstr "Du kan kjøre programmet på egen risiko."

#. Fills the first %s of texts 1031, 1043, 1044 and 1045.
msgctxt "1023"
msgid "requires"
msgstr "krever"

#. Fills the first %s of texts 1031, 1043, 1044 and 1045 (a suggestion).
msgctxt "1024"
msgid "suggests"
msgstr "anbefaler"

#. Written into the installation log.
msgctxt "1025"
msgid "required"
msgstr "påkrevd"

#. Written into the installation log.
msgctxt "1026"
msgid "suggested"
msgstr "anbefalt"

msgctxt "1027"
msgid "Installation was stopped before it could complete."
msgstr "Installasjonen ble stoppet før den var fullført."

msgctxt "1028"
msgid "Continue"
msgstr "Fortsett"

msgctxt "1029"
msgid "Restart Later"
msgstr "Start på nytt senere"

msgctxt "1030"
msgid "Restart Now"
msgstr "Start på nytt nå"

#. The first %s is the application, the second text 1023 or 1024.
#, c-format
msgctxt "1031"
msgid "The application '%s' could not be found. The installation %s that this application be present for the installed software to work properly."
msgstr "Finner ikke programmet '%s'. Installasjonen %s at dette programmet er til stede for at den installerte programvaren skal virke som den skal."

msgctxt "1032"
msgid "Checking System Resources..."
msgstr "Kontrollerer systemressurser..."

msgctxt "1033"
msgid "Creating deinstaller..."
msgstr "Oppretter avinstalleringsprogram..."

#. Followed by a program name and text 1035.
msgctxt "1034"
msgid "Do you wish to run '"
msgstr "Vil du kjøre '"

#. Follows text 1034 and a program name.
msgctxt "1035"
msgid "' now?"
msgstr "' nå?"

#. Item number, number of items, item name.
#, c-format
msgctxt "1036"
msgid "Installing %d of %d (%s)"
msgstr "Installerer %d av %d (%s)"

msgctxt "1037"
msgid "Installation Complete"
msgstr "Installasjonen er fullført"

msgctxt "1038"
msgid "Installation successfully completed."
msgstr "Installasjonen ble fullført."

#, c-format
msgctxt "1039"
msgid "'%s' was unable to be run at this time."
msgstr "'%s' kunne ikke kjøres nå."

msgctxt "1040"
msgid "Failure to find selected installation folder. Unable to install files."
msgstr "Finner ikke den valgte installasjonsmappen. Kan ikke installere filene."

#, c-format
msgctxt "1041"
msgid "Unable to create installation folder '%s'. Unable to install files."
msgstr "Kan ikke opprette installasjonsmappen '%s'. Kan ikke installere filene."

msgctxt "1042"
msgid ""
"\n"
"\n"
"The system needs to be restarted for the installation to take effect."
msgstr ""
"\n"
"\n"
"Systemet må startes på nytt før installasjonen trer i kraft."

#. The first %s is the library, the second text 1023 or 1024.
#, c-format
msgctxt "1043"
msgid "The shared library '%s' could not be found. The installation %s that this library be present for the installed software to work properly."
msgstr "Finner ikke det delte biblioteket '%s'. Installasjonen %s at dette biblioteket er til stede for at den installerte programvaren skal virke som den skal."

#. Text 1023 or 1024, required memory, available memory, text 1021 or 1022.
#, c-format
msgctxt "1044"
msgid "Installation %s %d MB of physical RAM, and only %d MB is available. %s"
msgstr "Installasjonen %s %d MB fysisk minne, og bare %d MB er tilgjengelig. %s"

#. Text 1023 or 1024, required space, volume name, free space.
#, c-format
msgctxt "1045"
msgid "Installation %s %s of disk space, and the destination volume '%s' only has %s free."
msgstr "Installasjonen %s %s diskplass, og målvolumet '%s' har bare %s ledig."
)po"},
    {"sv", R"po(# Tarnwhistle installer: user-interface texts in Swedish.
# msgctxt is the number of the text, msgid the English text.
# Keep every %s and %d of the English text, in the same order.
msgid ""
msgstr ""
"Project-Id-Version: Tarnwhistle 1.3.1\n"
"PO-Revision-Date: 2026-12-07 08:00+0000\n"
"Last-Translator: Tarnwhistle developers\n"
"Language-Team: Swedish\n"
"Language: sv\n"
"MIME-Version: 1.0\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Content-Transfer-Encoding: 8bit\n"

#. The ten language names, one a line, in the order of the language menu.
msgctxt "1000"
msgid ""
"English\n"
"French\n"
"Spanish\n"
"German\n"
"Italian\n"
"Norwegian\n"
"Swedish\n"
"Danish\n"
"Dutch\n"
"Portuguese"
msgstr ""
"Engelska\n"
"Franska\n"
"Spanska\n"
"Tyska\n"
"Italienska\n"
"Norska\n"
"Svenska\n"
"Danska\n"
"Nederländska\n"
"Portugisiska"

msgctxt "1001"
msgid "License"
msgstr "Licens"

msgctxt "1002"
msgid "Installation"
msgstr "Installation"

msgctxt "1003"
msgid "Group"
msgstr "Grupp"

msgctxt "1004"
msgid "Files"
msgstr "Filer"

msgctxt "1005"
msgid "Change destination folder"
msgstr "Byt målmapp"

msgctxt "1006"
msgid "Disks"
msgstr "Diskar"

msgctxt "1007"
msgid "Install"
msgstr "Installera"

msgctxt "1008"
msgid "Agree"
msgstr "Godkänn"

msgctxt "1009"
msgid "Select destination folder and press Install"
msgstr "Välj målmapp och tryck på Installera"

msgctxt "1010"
msgid "Read license and select the Agree button"
msgstr "Läs licensen och tryck på Godkänn"

msgctxt "1011"
msgid "Abort"
msgstr "Avbryt"

msgctxt "1012"
msgid "Stop"
msgstr "Stoppa"

#. Followed by a folder name and text 1014.
msgctxt "1013"
msgid "The folder '"
msgstr "Mappen '"

#. Follows text 1013 and a folder name.
msgctxt "1014"
msgid "' already exists in the destination folder."
msgstr "' finns redan i målmappen."

msgctxt "1015"
msgid "Cancel"
msgstr "Avbryt"

msgctxt "1016"
msgid "Replace"
msgstr "Ersätt"

msgctxt "1017"
msgid "OK"
msgstr "OK"

msgctxt "1018"
msgid "Later"
msgstr "Senare"

msgctxt "1019"
msgid "Run"
msgstr "Kör"

#. Asked after text 1013, the folder name and text 1014.
msgctxt "1020"
msgid ""
"\n"
"Do you wish to replace?"
msgstr ""
"\n"
"Vill du ersätta den?"

msgctxt "1021"
msgid "Installation can not continue."
msgstr "Installationen kan inte fortsätta."

msgctxt "1022"
msgid "You may run the application at your own risk."
msgstr "Du kan köra programmet på egen risk."

#. Fills the first %s of texts 1031, 1043, 1044 and 1045.
msgctxt "1023"
msgid "requires"
msgstr "kräver"

#. Fills the first %s of texts 1031, 1043, 1044 and 1045 (a suggestion).
msgctxt "1024"
msgid "suggests"
msgstr "rekommenderar"

#. Written into the installation log.
msgctxt "1025"
msgid "required"
msgstr "krävs"

#. Written into the installation log.
msgctxt "1026"
msgid "suggested"
msgstr "rekommenderas"

msgctxt "1027"
msgid "Installation was stopped before it could complete."
msgstr "Installationen avbröts innan den var klar."

msgctxt "1028"
msgid "Continue"
msgstr "Fortsätt"

msgctxt "1029"
msgid "Restart Later"
msgstr "Starta om senare"

msgctxt "1030"
msgid "Restart Now"
msgstr "Starta om nu"

#. The first %s is the application, the second text 1023 or 1024.
#, c-format
msgctxt "1031"
msgid "The application '%s' could not be found. The installation %s that this application be present for the installed software to work properly."
msgstr "Programmet '%s' hittades inte. Installationen %s att detta program finns för att den installerade programvaran ska fungera korrekt."

msgctxt "1032"
msgid "Checking System Resources..."
msgstr "Kontrollerar systemresurser..."

msgctxt "1033"
msgid "Creating deinstaller..."
msgstr "Skapar avinstallationsprogram..."

#. Followed by a program name and text 1035.
msgctxt "1034"
msgid "Do you wish to run '"
msgstr "Vill du köra '"

#. Follows text 1034 and a program name.
msgctxt "1035"
msgid "' now?"
msgstr "' nu?"

#. Item number, number of items, item name.
#, c-format
msgctxt "1036"
msgid "Installing %d of %d (%s)"
msgstr "Installerar %d av %d (%s)"

msgctxt "1037"
msgid "Installation Complete"
msgstr "Installationen är klar"

msgctxt "1038"
msgid "Installation successfully completed."
msgstr "Installationen slutfördes."

#, c-format
msgctxt "1039"
msgid "'%s' was unable to be run at this time."
msgstr "'%s' kunde inte köras just nu."

msgctxt "1040"
msgid "Failure to find selected installation folder. Unable to install files."
msgstr "Den valda installationsmappen hittades inte. Det går inte att installera filerna."

#, c-format
msgctxt "1041"
msgid "Unable to create installation folder '%s'. Unable to install files."
msgstr "Det gick inte att skapa installationsmappen '%s'. Det går inte att installera filerna."

msgctxt "1042"
msgid ""
"\n"
"\n"
"The system needs to be restarted for the installation to take effect."
msgstr ""
"\n"
"\n"
"Systemet måste startas om för att installationen ska träda i kraft."

#. The first %s is the library, the second text 1023 or 1024.
#, c-format
msgctxt "1043"
msgid "The shared library '%s' could not be found. The installation %s that this library be present for the installed software to work properly."
msgstr "Det delade biblioteket '%s' hittades inte. Installationen %s att detta bibliotek finns för att den installerade programvaran ska fungera korrekt."

#. Text 1023 or 1024, required memory, available memory, text 1021 or 1022.
#, c-format
msgctxt "1044"
msgid "Installation %s %d MB of physical RAM, and only %d MB is available. %s"
msgstr "Installationen %s %d MB fysiskt minne, och endast %d MB är tillgängligt. %s"

#. Text 1023 or 1024, required space, volume name, free space.
#, c-format
msgctxt "1045"
msgid "Installation %s %s of disk space, and the destination volume '%s' only has %s free."
msgstr "Installationen %s %s diskutrymme, och målvolymen '%s' har bara %s ledigt."
)po"},
    {"da", R"po(# Tarnwhistle installer: user-interface texts in Danish.
# msgctxt is the number of the text, msgid the English text.
# Keep every %s and %d of the English text, in the same order.
msgid ""
msgstr ""
"Project-Id-Version: Tarnwhistle 1.3.1\n"
"PO-Revision-Date: 2026-12-07 08:00+0000\n"
"Last-Translator: Tarnwhistle developers\n"
"Language-Team: Danish\n"
"Language: da\n"
"MIME-Version: 1.0\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Content-Transfer-Encoding: 8bit\n"

#. The ten language names, one a line, in the order of the language menu.
msgctxt "1000"
msgid ""
"English\n"
"French\n"
"Spanish\n"
"German\n"
"Italian\n"
"Norwegian\n"
"Swedish\n"
"Danish\n"
"Dutch\n"
"Portuguese"
msgstr ""
"Engelsk\n"
"Fransk\n"
"Spansk\n"
"Tysk\n"
"Italiensk\n"
"Norsk\n"
"Svensk\n"
"Dansk\n"
"Hollandsk\n"
"Portugisisk"

msgctxt "1001"
msgid "License"
msgstr "Licens"

msgctxt "1002"
msgid "Installation"
msgstr "Installation"

msgctxt "1003"
msgid "Group"
msgstr "Gruppe"

msgctxt "1004"
msgid "Files"
msgstr "Filer"

msgctxt "1005"
msgid "Change destination folder"
msgstr "Skift destinationsmappe"

msgctxt "1006"
msgid "Disks"
msgstr "Diske"

msgctxt "1007"
msgid "Install"
msgstr "Installer"

msgctxt "1008"
msgid "Agree"
msgstr "Accepter"

msgctxt "1009"
msgid "Select destination folder and press Install"
msgstr "Vælg destinationsmappe, og tryk på Installer"

msgctxt "1010"
msgid "Read license and select the Agree button"
msgstr "Læs licensen, og tryk på Accepter"

msgctxt "1011"
msgid "Abort"
msgstr "Afbryd"

msgctxt "1012"
msgid "Stop"
msgstr "Stop"

#. Followed by a folder name and text 1014.
msgctxt "1013"
msgid "The folder '"
msgstr "Mappen '"

#. Follows text 1013 and a folder name.
msgctxt "1014"
msgid "' already exists in the destination folder."
msgstr "' findes allerede i destinationsmappen."

msgctxt "1015"
msgid "Cancel"
msgstr "Annuller"

msgctxt "1016"
msgid "Replace"
msgstr "Erstat"

msgctxt "1017"
msgid "OK"
msgstr "OK"

msgctxt "1018"
msgid "Later"
msgstr "Senere"

msgctxt "1019"
msgid "Run"
msgstr "Kør"

#. Asked after text 1013, the folder name and text 1014.
msgctxt "1020"
msgid ""
"\n"
"Do you wish to replace?"
msgstr ""
"\n"
"Vil du erstatte den?"

msgctxt "1021"
msgid "Installation can not continue."
msgstr "Installationen kan ikke fortsætte."

msgctxt "1022"
msgid "You may run the application at your own risk."
msgstr "Du kan køre programmet på egen risiko."

#. Fills the first %s of texts 1031, 1043, 1044 and 1045.
msgctxt "1023"
msgid "requires"
msgstr "kræver"

#. Fills the first %s of texts 1031, 1043, 1044 and 1045 (a suggestion).
msgctxt "1024"
msgid "suggests"
msgstr "anbefaler"

#. Written into the installation log.
msgctxt "1025"
msgid "required"
msgstr "påkrævet"

#. Written into the installation log.
msgctxt "1026"
msgid "suggested"
msgstr "anbefalet"

msgctxt "1027"
msgid "Installation was stopped before it could complete."
msgstr "Installationen blev stoppet, før den var færdig."

msgctxt "1028"
msgid "Continue"
msgstr "Fortsæt"

msgctxt "1029"
msgid "Restart Later"
msgstr "Genstart senere"

msgctxt "1030"
msgid "Restart Now"
msgstr "Genstart nu"

#. The first %s is the application, the second text 1023 or 1024.
#, c-format
msgctxt "1031"
msgid "The application '%s' could not be found. The installation %s that this application be present for the installed software to work properly."
msgstr "Programmet '%s' blev ikke fundet. Installationen %s, at dette program er til stede, for at den installerede software kan fungere korrekt."

msgctxt "1032"
msgid "Checking System Resources..."
msgstr "Kontrollerer systemressourcer..."

msgctxt "1033"
msgid "Creating deinstaller..."
msgstr "Opretter afinstallationsprogram..."

#. Followed by a program name and text 1035.
msgctxt "1034"
msgid "Do you wish to run '"
msgstr "Vil du køre '"

#. Follows text 1034 and a program name.
msgctxt "1035"
msgid "' now?"
msgstr "' nu?"

#. Item number, number of items, item name.
#, c-format
msgctxt "1036"
msgid "Installing %d of %d (%s)"
msgstr "Installerer %d af %d (%s)"

msgctxt "1037"
msgid "Installation Complete"
msgstr "Installationen er fuldført"

msgctxt "1038"
msgid "Installation successfully completed."
msgstr "Installationen blev fuldført."

#, c-format
msgctxt "1039"
msgid "'%s' was unable to be run at this time."
msgstr "'%s' kunne ikke køres lige nu."

msgctxt "1040"
msgid "Failure to find selected installation folder. Unable to install files."
msgstr "Den valgte installationsmappe blev ikke fundet. Filerne kan ikke installeres."

#, c-format
msgctxt "1041"
msgid "Unable to create installation folder '%s'. Unable to install files."
msgstr "Installationsmappen '%s' kunne ikke oprettes. Filerne kan ikke installeres."

msgctxt "1042"
msgid ""
"\n"
"\n"
"The system needs to be restarted for the installation to take effect."
msgstr ""
"\n"
"\n"
"Systemet skal genstartes, før installationen træder i kraft."

#. The first %s is the library, the second text 1023 or 1024.
#, c-format
msgctxt "1043"
msgid "The shared library '%s' could not be found. The installation %s that this library be present for the installed software to work properly."
msgstr "Det delte bibliotek '%s' blev ikke fundet. Installationen %s, at dette bibliotek er til stede, for at den installerede software kan fungere korrekt."

#. Text 1023 or 1024, required memory, available memory, text 1021 or 1022.
#, c-format
msgctxt "1044"
msgid "Installation %s %d MB of physical RAM, and only %d MB is available. %s"
msgstr "Installationen %s %d MB fysisk hukommelse, og kun %d MB er tilgængelig. %s"

#. Text 1023 or 1024, required space, volume name, free space.
#, c-format
msgctxt "1045"
msgid "Installation %s %s of disk space, and the destination volume '%s' only has %s free."
msgstr "Installationen %s %s diskplads, og destinationsdrevet '%s' har kun %s ledigt."
)po"},
    {"nl", R"po(# Tarnwhistle installer: user-interface texts in Dutch.
# msgctxt is the number of the text, msgid the English text.
# Keep every %s and %d of the English text, in the same order.
msgid ""
msgstr ""
"Project-Id-Version: Tarnwhistle 1.3.1\n"
"PO-Revision-Date: 2026-12-07 08:00+0000\n"
"Last-Translator: Tarnwhistle developers\n"
"Language-Team: Dutch\n"
"Language: nl\n"
"MIME-Version: 1.0\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Content-Transfer-Encoding: 8bit\n"

#. The ten language names, one a line, in the order of the language menu.
msgctxt "1000"
msgid ""
"English\n"
"French\n"
"Spanish\n"
"German\n"
"Italian\n"
"Norwegian\n"
"Swedish\n"
"Danish\n"
"Dutch\n"
"Portuguese"
msgstr ""
"Engels\n"
"Frans\n"
"Spaans\n"
"Duits\n"
"Italiaans\n"
"Noors\n"
"Zweeds\n"
"Deens\n"
"Nederlands\n"
"Portugees"

msgctxt "1001"
msgid "License"
msgstr "Licentie"

msgctxt "1002"
msgid "Installation"
msgstr "Installatie"

msgctxt "1003"
msgid "Group"
msgstr "Groep"

msgctxt "1004"
msgid "Files"
msgstr "Bestanden"

msgctxt "1005"
msgid "Change destination folder"
msgstr "Doelmap wijzigen"

msgctxt "1006"
msgid "Disks"
msgstr "Schijven"

msgctxt "1007"
msgid "Install"
msgstr "Installeren"

msgctxt "1008"
msgid "Agree"
msgstr "Akkoord"

msgctxt "1009"
msgid "Select destination folder and press Install"
msgstr "Kies de doelmap en klik op Installeren"

msgctxt "1010"
msgid "Read license and select the Agree button"
msgstr "Lees de licentie en klik op Akkoord"

msgctxt "1011"
msgid "Abort"
msgstr "Afbreken"

msgctxt "1012"
msgid "Stop"
msgstr "Stoppen"

#. Followed by a folder name and text 1014.
msgctxt "1013"
msgid "The folder '"
msgstr "De map '"

#. Follows text 1013 and a folder name.
msgctxt "1014"
msgid "' already exists in the destination folder."
msgstr "' bestaat al in de doelmap."

msgctxt "1015"
msgid "Cancel"
msgstr "Annuleren"

msgctxt "1016"
msgid "Replace"
msgstr "Vervangen"

msgctxt "1017"
msgid "OK"
msgstr "OK"

msgctxt "1018"
msgid "Later"
msgstr "Later"

msgctxt "1019"
msgid "Run"
msgstr "Starten"

#. Asked after text 1013, the folder name and text 1014.
msgctxt "1020"
msgid ""
"\n"
"Do you wish to replace?"
msgstr ""
"\n"
"Wilt u deze vervangen?"

msgctxt "1021"
msgid "Installation can not continue."
msgstr "De installatie kan niet doorgaan."

msgctxt "1022"
msgid "You may run the application at your own risk."
msgstr "U kunt het programma op eigen risico starten."

#. Fills the first %s of texts 1031, 1043, 1044 and 1045.
msgctxt "1023"
msgid "requires"
msgstr "vereist"

#. Fills the first %s of texts 1031, 1043, 1044 and 1045 (a suggestion).
msgctxt "1024"
msgid "suggests"
msgstr "adviseert"

#. Written into the installation log.
msgctxt "1025"
msgid "required"
msgstr "vereist"

#. Written into the installation log.
msgctxt "1026"
msgid "suggested"
msgstr "aanbevolen"

msgctxt "1027"
msgid "Installation was stopped before it could complete."
msgstr "De installatie is gestopt voordat deze voltooid was."

msgctxt "1028"
msgid "Continue"
msgstr "Doorgaan"

msgctxt "1029"
msgid "Restart Later"
msgstr "Later herstarten"

msgctxt "1030"
msgid "Restart Now"
msgstr "Nu herstarten"

#. The first %s is the application, the second text 1023 or 1024.
#, c-format
msgctxt "1031"
msgid "The application '%s' could not be found. The installation %s that this application be present for the installed software to work properly."
msgstr "Het programma '%s' is niet gevonden. De installatie %s dat dit programma aanwezig is om de geïnstalleerde software goed te laten werken."

msgctxt "1032"
msgid "Checking System Resources..."
msgstr "Systeembronnen controleren..."

msgctxt "1033"
msgid "Creating deinstaller..."
msgstr "Verwijderprogramma aanmaken..."

#. Followed by a program name and text 1035.
msgctxt "1034"
msgid "Do you wish to run '"
msgstr "Wilt u '"

#. Follows text 1034 and a program name.
msgctxt "1035"
msgid "' now?"
msgstr "' nu starten?"

#. Item number, number of items, item name.
#, c-format
msgctxt "1036"
msgid "Installing %d of %d (%s)"
msgstr "Installeren %d van %d (%s)"

msgctxt "1037"
msgid "Installation Complete"
msgstr "Installatie voltooid"

msgctxt "1038"
msgid "Installation successfully completed."
msgstr "De installatie is voltooid."

#, c-format
msgctxt "1039"
msgid "'%s' was unable to be run at this time."
msgstr "'%s' kon op dit moment niet worden gestart."

msgctxt "1040"
msgid "Failure to find selected installation folder. Unable to install files."
msgstr "De gekozen installatiemap is niet gevonden. De bestanden kunnen niet worden geïnstalleerd."

#, c-format
msgctxt "1041"
msgid "Unable to create installation folder '%s'. Unable to install files."
msgstr "Kan de installatiemap '%s' niet aanmaken. De bestanden kunnen niet worden geïnstalleerd."

msgctxt "1042"
msgid ""
"\n"
"\n"
"The system needs to be restarted for the installation to take effect."
msgstr ""
"\n"
"\n"
"Het systeem moet opnieuw worden opgestart om de installatie van kracht te laten worden."

#. The first %s is the library, the second text 1023 or 1024.
#, c-format
msgctxt "1043"
msgid "The shared library '%s' could not be found. The installation %s that this library be present for the installed software to work properly."
msgstr "De gedeelde bibliotheek '%s' is niet gevonden. De installatie %s dat deze bibliotheek aanwezig is om de geïnstalleerde software goed te laten werken."

#. Text 1023 or 1024, required memory, available memory, text 1021 or 1022.
#, c-format
msgctxt "1044"
msgid "Installation %s %d MB of physical RAM, and only %d MB is available. %s"
msgstr "De installatie %s %d MB fysiek geheugen, en er is slechts %d MB beschikbaar. %s"

#. Text 1023 or 1024, required space, volume name, free space.
#, c-format
msgctxt "1045"
msgid "Installation %s %s of disk space, and the destination volume '%s' only has %s free."
msgstr "De installatie %s %s schijfruimte, en het doelvolume '%s' heeft slechts %s vrij."
)po"},
    {"pt", R"po(# Tarnwhistle installer: user-interface texts in Portuguese.
# msgctxt is the number of the text, msgid the English text.
# Keep every %s and %d of the English text, in the same order.
msgid ""
msgstr ""
"Project-Id-Version: Tarnwhistle 1.3.1\n"
"PO-Revision-Date: 2026-12-07 08:00+0000\n"
"Last-Translator: Tarnwhistle developers\n"
"Language-Team: Portuguese\n"
"Language: pt\n"
"MIME-Version: 1.0\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Content-Transfer-Encoding: 8bit\n"

#. The ten language names, one a line, in the order of the language menu.
msgctxt "1000"
msgid ""
"English\n"
"French\n"
"Spanish\n"
"German\n"
"Italian\n"
"Norwegian\n"
"Swedish\n"
"Danish\n"
"Dutch\n"
"Portuguese"
msgstr ""
"Inglês\n"
"Francês\n"
"Espanhol\n"
"Alemão\n"
"Italiano\n"
"Norueguês\n"
"Sueco\n"
"Dinamarquês\n"
"Neerlandês\n"
"Português"

msgctxt "1001"
msgid "License"
msgstr "Licença"

msgctxt "1002"
msgid "Installation"
msgstr "Instalação"

msgctxt "1003"
msgid "Group"
msgstr "Grupo"

msgctxt "1004"
msgid "Files"
msgstr "Ficheiros"

msgctxt "1005"
msgid "Change destination folder"
msgstr "Alterar pasta de destino"

msgctxt "1006"
msgid "Disks"
msgstr "Discos"

msgctxt "1007"
msgid "Install"
msgstr "Instalar"

msgctxt "1008"
msgid "Agree"
msgstr "Aceitar"

msgctxt "1009"
msgid "Select destination folder and press Install"
msgstr "Selecione a pasta de destino e prima Instalar"

msgctxt "1010"
msgid "Read license and select the Agree button"
msgstr "Leia a licença e prima o botão Aceitar"

msgctxt "1011"
msgid "Abort"
msgstr "Interromper"

msgctxt "1012"
msgid "Stop"
msgstr "Parar"

#. Followed by a folder name and text 1014.
msgctxt "1013"
msgid "The folder '"
msgstr "A pasta '"

#. Follows text 1013 and a folder name.
msgctxt "1014"
msgid "' already exists in the destination folder."
msgstr "' já existe na pasta de destino."

msgctxt "1015"
msgid "Cancel"
msgstr "Cancelar"

msgctxt "1016"
msgid "Replace"
msgstr "Substituir"

msgctxt "1017"
msgid "OK"
msgstr "OK"

msgctxt "1018"
msgid "Later"
msgstr "Mais tarde"

msgctxt "1019"
msgid "Run"
msgstr "Executar"

#. Asked after text 1013, the folder name and text 1014.
msgctxt "1020"
msgid ""
"\n"
"Do you wish to replace?"
msgstr ""
"\n"
"Deseja substituí-la?"

msgctxt "1021"
msgid "Installation can not continue."
msgstr "A instalação não pode continuar."

msgctxt "1022"
msgid "You may run the application at your own risk."
msgstr "Pode executar a aplicação por sua conta e risco."

#. Fills the first %s of texts 1031, 1043, 1044 and 1045.
msgctxt "1023"
msgid "requires"
msgstr "requer"

#. Fills the first %s of texts 1031, 1043, 1044 and 1045 (a suggestion).
msgctxt "1024"
msgid "suggests"
msgstr "recomenda"

#. Written into the installation log.
msgctxt "1025"
msgid "required"
msgstr "obrigatório"

#. Written into the installation log.
msgctxt "1026"
msgid "suggested"
msgstr "recomendado"

msgctxt "1027"
msgid "Installation was stopped before it could complete."
msgstr "A instalação foi interrompida antes de terminar."

msgctxt "1028"
msgid "Continue"
msgstr "Continuar"

msgctxt "1029"
msgid "Restart Later"
msgstr "Reiniciar mais tarde"

msgctxt "1030"
msgid "Restart Now"
msgstr "Reiniciar agora"

#. The first %s is the application, the second text 1023 or 1024.
#, c-format
msgctxt "1031"
msgid "The application '%s' could not be found. The installation %s that this application be present for the installed software to work properly."
msgstr "Não foi possível encontrar a aplicação '%s'. A instalação %s que esta aplicação esteja presente para que o software instalado funcione corretamente."

msgctxt "1032"
msgid "Checking System Resources..."
msgstr "A verificar os recursos do sistema..."

msgctxt "1033"
msgid "Creating deinstaller..."
msgstr "A criar o desinstalador..."

#. Followed by a program name and text 1035.
msgctxt "1034"
msgid "Do you wish to run '"
msgstr "Deseja executar '"

#. Follows text 1034 and a program name.
msgctxt "1035"
msgid "' now?"
msgstr "' agora?"

#. Item number, number of items, item name.
#, c-format
msgctxt "1036"
msgid "Installing %d of %d (%s)"
msgstr "A instalar %d de %d (%s)"

msgctxt "1037"
msgid "Installation Complete"
msgstr "Instalação concluída"

msgctxt "1038"
msgid "Installation successfully completed."
msgstr "A instalação foi concluída com êxito."

#, c-format
msgctxt "1039"
msgid "'%s' was unable to be run at this time."
msgstr "Não foi possível executar '%s' neste momento."

msgctxt "1040"
msgid "Failure to find selected installation folder. Unable to install files."
msgstr "Não foi possível encontrar a pasta de instalação selecionada. Não é possível instalar os ficheiros."

#, c-format
msgctxt "1041"
msgid "Unable to create installation folder '%s'. Unable to install files."
msgstr "Não foi possível criar a pasta de instalação '%s'. Não é possível instalar os ficheiros."

msgctxt "1042"
msgid ""
"\n"
"\n"
"The system needs to be restarted for the installation to take effect."
msgstr ""
"\n"
"\n"
"É necessário reiniciar o sistema para que a instalação tenha efeito."

#. The first %s is the library, the second text 1023 or 1024.
#, c-format
msgctxt "1043"
msgid "The shared library '%s' could not be found. The installation %s that this library be present for the installed software to work properly."
msgstr "Não foi possível encontrar a biblioteca partilhada '%s'. A instalação %s que esta biblioteca esteja presente para que o software instalado funcione corretamente."

#. Text 1023 or 1024, required memory, available memory, text 1021 or 1022.
#, c-format
msgctxt "1044"
msgid "Installation %s %d MB of physical RAM, and only %d MB is available. %s"
msgstr "A instalação %s %d MB de RAM física, e apenas %d MB estão disponíveis. %s"

#. Text 1023 or 1024, required space, volume name, free space.
#, c-format
msgctxt "1045"
msgid "Installation %s %s of disk space, and the destination volume '%s' only has %s free."
msgstr "A instalação %s %s de espaço em disco, e o volume de destino '%s' só tem %s livres."
)po"},
};

extern const int kEmbeddedSourceCount = sizeof(kEmbeddedSources) / sizeof(kEmbeddedSources[0]);

} // namespace catalogue
