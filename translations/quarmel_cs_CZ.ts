<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="cs_CZ" sourcelanguage="en">
<context>
    <name>ChainModel</name>
    <message>
        <location filename="../app/chainmodel.cpp" line="+45"/>
        <source>Counts in two currencies this month: not added up.</source>
        <translation>Inventury ve dvou měnách v tomto měsíci: nesčítají se.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>mixed currencies</source>
        <translation>různé měny</translation>
    </message>
</context>
<context>
    <name>ChainPage</name>
    <message>
        <location filename="../app/chainpage.cpp" line="+32"/>
        <source>All bars</source>
        <translation>Všechny bary</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Back</source>
        <translation>Zpět</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Total sales</source>
        <translation>Celková tržba</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Till variance</source>
        <translation>Rozdíl proti pokladně</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pour cost</source>
        <translation>Nákladovost</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The figure the table shows for each bar and month.</source>
        <translation>Údaj, který tabulka ukazuje pro každý bar a měsíc.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Figure shown</source>
        <translation>Zobrazený údaj</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Refresh</source>
        <translation>Obnovit</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reads every bar from the server again.</source>
        <translation>Znovu načte všechny bary ze serveru.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Export to Excel...</source>
        <translation>Export do Excelu...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A workbook with every bar&apos;s months and a chart per bar.</source>
        <translation>Sešit s měsíci všech barů a grafem pro každý bar.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Bars side by side</source>
        <translation>Bary vedle sebe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A row per month, a column per bar, with the chosen figure.</source>
        <translation>Řádek za každý měsíc, sloupec za každý bar, se zvoleným údajem.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Total sales per month of each bar</source>
        <translation>Celková tržba za měsíc v každém baru</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>%1 [%2]</source>
        <translation>%1 [%2]</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The server holds no bar the login may read.</source>
        <translation>Server nemá žádný bar, který smí tento login číst.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Export to Excel</source>
        <translation>Export do Excelu</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Excel Workbook (*.xlsx)</source>
        <translation>Sešit Excelu (*.xlsx)</translation>
    </message>
</context>
<context>
    <name>Communication</name>
    <message>
        <location filename="../link/communication.cpp" line="+282"/>
        <source>%1, process %2</source>
        <translation>%1, proces %2</translation>
    </message>
</context>
<context>
    <name>CostColumnModel</name>
    <message>
        <location filename="../count/costcolumnmodel.cpp" line="+41"/>
        <location line="+116"/>
        <source>The cost list in the data folder cannot be read, so it is not replaced.</source>
        <translation>Seznam nákupních cen v datové složce nelze přečíst, proto se nepřepisuje.</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>The bottle has no EAN to keep its cost under.</source>
        <translation>Láhev nemá EAN, pod kterým by se její cena uložila.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Cost per
Bottle</source>
        <translation>Nákupní cena
láhve</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>What one full bottle costs the bar, in the currency of the count. Kept apart from the catalogue; an empty cell has no cost.</source>
        <translation>Kolik stojí baru jedna plná láhev, v měně inventury. Ukládá se odděleně od katalogu; prázdná buňka znamená, že cena není zadána.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Par
[bottles]</source>
        <translation>Cílový stav
[lahve]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bottles to have at the bar after a delivery; the order list buys up to it. Kept with the cost.</source>
        <translation>Kolik lahví má být na baru po dodávce; objednávka doplňuje do tohoto stavu. Ukládá se s nákupní cenou.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Supplier</source>
        <translation>Dodavatel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Who delivers the bottle; the order list is grouped by it. Kept with the cost.</source>
        <translation>Kdo láhev dodává; objednávka se podle něj seskupuje. Ukládá se s nákupní cenou.</translation>
    </message>
</context>
<context>
    <name>CostFigures</name>
    <message>
        <location filename="../count/costs.cpp" line="+283"/>
        <source>Cost of goods sold: %1</source>
        <translation>Náklady na prodané zboží: %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Pour cost: %1 %</source>
        <translation>Nákladovost: %1 %</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Pour cost: no alcohol sales</source>
        <translation>Nákladovost: žádná tržba za alkohol</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pour cost: no sales of a bottle with a cost</source>
        <translation>Nákladovost: žádná tržba za láhev s nákupní cenou</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pour cost: %1 % of the bottles with a cost</source>
        <translation>Nákladovost: %1 % z lahví s nákupní cenou</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Stock value at cost: %1</source>
        <translation>Hodnota zásob v nákupních cenách: %1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1 %2 %</source>
        <translation>%1 %2 %</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Highest pour cost: %1</source>
        <translation>Nejvyšší nákladovost: %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source> and %1 more</source>
        <translation> a dalších %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No cost for: %1</source>
        <translation>Chybí nákupní cena: %1</translation>
    </message>
</context>
<context>
    <name>CostList</name>
    <message>
        <location line="-265"/>
        <source>The file is too large to be a cost list.</source>
        <translation>Soubor je příliš velký na to, aby byl seznamem nákupních cen.</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Line %1: %2</source>
        <translation>Řádek %1: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the line is not UTF-8 text.</source>
        <translation>řádek není text v kódování UTF-8.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>expected EAN;cost;par;supplier.</source>
        <translation>očekáváno EAN;cena;cílový stav;dodavatel.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>cost: %1</source>
        <translation>cena: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>no EAN or item name.</source>
        <translation>chybí EAN nebo název položky.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>par: %1</source>
        <translation>cílový stav: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&quot;%1&quot; is already on line %2.</source>
        <translation>„%1“ už je na řádku %2.</translation>
    </message>
    <message>
        <location line="+74"/>
        <source>Type the cost per bottle first: the par level is kept with the cost.</source>
        <translation>Nejprve zadejte nákupní cenu láhve: cílový stav se ukládá s ní.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Type the cost per bottle first: the supplier is kept with the cost.</source>
        <translation>Nejprve zadejte nákupní cenu láhve: dodavatel se ukládá s ní.</translation>
    </message>
</context>
<context>
    <name>CountDocument</name>
    <message>
        <location filename="../count/countdocument.cpp" line="+68"/>
        <location line="+4"/>
        <source>It is not an inventory table.</source>
        <translation>Není to tabulka inventury.</translation>
    </message>
    <message>
        <location line="+23"/>
        <location line="+25"/>
        <source>Line %1: %2</source>
        <translation>Řádek %1: %2</translation>
    </message>
    <message>
        <location line="-21"/>
        <source>It holds no table number.</source>
        <translation>Nemá číslo tabulky.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>It holds no end of its period.</source>
        <translation>Nemá konec svého období.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Line %1: row %2: %3 &quot;%4&quot; is not a number the program writes.</source>
        <translation>Řádek %1: položka %2: %3 „%4“ není číslo, jaké program zapisuje.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Line %1: the period bound &quot;%2&quot; is not a time.</source>
        <translation>Řádek %1: hranice období „%2“ není čas.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Line %1: the table number &quot;%2&quot; is not a number.</source>
        <translation>Řádek %1: číslo tabulky „%2“ není číslo.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Line %1: a row has no EAN.</source>
        <translation>Řádek %1: položka nemá EAN.</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Line %1: row %2 holds &quot;%3&quot;, which no inventory table holds.</source>
        <translation>Řádek %1: položka %2 obsahuje „%3“, což žádná tabulka inventury neobsahuje.</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>%1 of the appended items, &quot;%2&quot;</source>
        <translation>%1 z přidaných položek, „%2“</translation>
    </message>
    <message>
        <location line="+90"/>
        <source>It is too large to be an inventory table.</source>
        <translation>Je příliš velký na to, aby byl tabulkou inventury.</translation>
    </message>
</context>
<context>
    <name>DataFolderLock</name>
    <message>
        <location filename="../common/datafolderlock.cpp" line="+52"/>
        <source>a program</source>
        <translation>neznámý program</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 (process %2) on %3</source>
        <translation>%1 (proces %2) na počítači %3</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>The data folder %1 is in use by another program.</source>
        <translation>Datovou složku %1 používá jiný program.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The data folder %1 is in use by %2.</source>
        <translation>Datovou složku %1 používá %2.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The data folder %1 cannot be locked: Permission denied</source>
        <translation>Datovou složku %1 nelze zamknout: přístup odepřen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The data folder %1 cannot be locked.</source>
        <translation>Datovou složku %1 nelze zamknout.</translation>
    </message>
</context>
<context>
    <name>DataFolderWatch</name>
    <message>
        <location filename="../app/datafolderwatch.cpp" line="+34"/>
        <source>Data folder removed</source>
        <translation>Datová složka odstraněna</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The data folder %1 has been removed or moved away while Quarmel runs. The catalogue, the last saved table and the history kept there are no longer on this computer.

Nothing is saved until the folder is back: put it back where it was (from a backup if need be), or close Quarmel.</source>
        <translation>Datová složka %1 byla za běhu programu Quarmel odstraněna nebo přesunuta. Katalog, poslední uložená tabulka a historie, které v ní byly, už na tomto počítači nejsou.

Nic se neuloží, dokud se složka nevrátí: vraťte ji na původní místo (případně ze zálohy), nebo Quarmel zavřete.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Data folder back</source>
        <translation>Datová složka je zpět</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The data folder %1 is back; saves go there again.</source>
        <translation>Datová složka %1 je zpět; ukládá se opět do ní.</translation>
    </message>
</context>
<context>
    <name>Database</name>
    <message>
        <location filename="../database/database.cpp" line="+154"/>
        <source>EAN</source>
        <translation>EAN</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Displayed Item Name</source>
        <translation>Zobrazovaný název</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Full Item Name</source>
        <translation>Úplný název položky</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Full Bottle Volume [ml]</source>
        <translation>Objem plné láhve [ml]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Full Bottle Weight [g]</source>
        <translation>Hmotnost plné láhve [g]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Empty Bottle Weight [g]</source>
        <translation>Hmotnost prázdné láhve [g]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Weight correction [+/- g]</source>
        <translation>Korekce hmotnosti [+/- g]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Use in Inventory</source>
        <translation>Použít v inventuře</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Click to sort the items by EAN, ascending or descending.</source>
        <translation>Kliknutím seřadí položky vzestupně/sestupně podle EAN.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Click to sort alphabetically, ascending or descending.</source>
        <translation>Kliknutím seřadí abecedně vzestupně/sestupně.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Adds the weight of a pourer or a dispenser.</source>
        <translation>Umožní přičíst váhu nalévátka nebo dávkovače.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Adds the item to the shown inventory and sales tables. Items read by Quarmel are shown anyway.</source>
        <translation>Přidá položku do zobrazovaných tabulek inventur a spočítaných tržeb. Quarmelem načtené položky jsou automaticky zobrazovány.</translation>
    </message>
    <message>
        <location line="+223"/>
        <source>rows %1 and %2: EAN %3 twice</source>
        <translation>řádky %1 a %2: EAN %3 dvakrát</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>rows %1 and %2: %3 and %4 are one EAN to Quarmel</source>
        <translation>řádky %1 a %2: %3 a %4 jsou pro Quarmel jeden EAN</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+40"/>
        <source>... and %1 more rows</source>
        <translation>... a dalších %1 řádků</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>row %1: the last digit of %2 should be %3 if the other digits are right, so the code may be mistyped</source>
        <translation>řádek %1: poslední číslice kódu %2 by měla být %3, pokud jsou ostatní číslice správně, kód je tedy možná napsán chybně</translation>
    </message>
    <message>
        <location filename="../database/databasefile.cpp" line="+130"/>
        <source>The catalogue could not be encrypted.</source>
        <translation>Katalog se nepodařilo zašifrovat.</translation>
    </message>
</context>
<context>
    <name>DeliveriesDialog</name>
    <message>
        <location filename="../app/deliveriesdialog.cpp" line="+97"/>
        <source>Delivery</source>
        <translation>Dodávka</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Issue</source>
        <translation>Výdej</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Kind</source>
        <translation>Druh</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+69"/>
        <source>Item</source>
        <translation>Položka</translation>
    </message>
    <message>
        <location line="-68"/>
        <location line="+68"/>
        <source>EAN</source>
        <translation>EAN</translation>
    </message>
    <message>
        <location line="-68"/>
        <source>Quantity
[bottles]</source>
        <translation>Množství
[láhve]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cost</source>
        <translation>Cena</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+173"/>
        <source>Supplier</source>
        <translation>Dodavatel</translation>
    </message>
    <message>
        <location line="-128"/>
        <source>More issued than delivered: a delivery is not recorded.</source>
        <translation>Vydáno víc, než bylo dodáno: nějaká dodávka není zapsaná.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Delivered
[bottles]</source>
        <translation>Dodáno
[láhve]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Issued
[bottles]</source>
        <translation>Vydáno
[láhve]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>In Store
[bottles]</source>
        <translation>Ve skladu
[láhve]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cost of
Deliveries</source>
        <translation>Cena
dodávek</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+251"/>
        <source>Deliveries and Issues</source>
        <translation>Dodávky a výdeje</translation>
    </message>
    <message>
        <location line="-248"/>
        <source>Record what arrived from a supplier and what went from the store to the bar (a bottle sent back is an issue below zero). The issues made after the end of the last count up to the end of this count fill its From Stock.</source>
        <translation>Zapište, co přišlo od dodavatele a co šlo ze skladu na bar (láhev vrácená do skladu je výdej pod nulou). Výdeje od konce minulé inventury do konce této inventury vyplní její Fasování.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Issue to the bar</source>
        <translation>Výdej na bar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delivery from a supplier</source>
        <translation>Dodávka od dodavatele</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>&amp;Record</source>
        <translation>Za&amp;psat</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>&amp;Kind:</source>
        <translation>&amp;Druh:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Date and time:</source>
        <translation>Da&amp;tum a čas:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Bottle or item:</source>
        <translation>&amp;Láhev nebo položka:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Quantity [bottles]:</source>
        <translation>&amp;Množství [láhve]:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>C&amp;ost of the delivery:</source>
        <translation>&amp;Cena dodávky:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>S&amp;upplier:</source>
        <translation>D&amp;odavatel:</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>D&amp;elete</source>
        <translation>Sm&amp;azat</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Deletes the selected records (the Delete key does the same).</source>
        <translation>Smaže vybrané záznamy (totéž udělá klávesa Delete).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reco&amp;rds:</source>
        <translation>Záz&amp;namy:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>&amp;Store stock (delivered less issued):</source>
        <translation>Stav s&amp;kladu (dodáno méně vydáno):</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Kind of record</source>
        <translation>Druh záznamu</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Date and time</source>
        <translation>Datum a čas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bottle or item</source>
        <translation>Láhev nebo položka</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A bottle of the catalogue, or an EAN or the name of an appended item.</source>
        <translation>Láhev z katalogu, nebo EAN či název přidané položky.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quantity in bottles</source>
        <translation>Množství v láhvích</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cost of the delivery</source>
        <translation>Cena dodávky</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Deliveries and issues</source>
        <translation>Dodávky a výdeje</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Every recorded delivery and issue, the newest first.</source>
        <translation>Všechny zapsané dodávky a výdeje, nejnovější nahoře.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Store stock</source>
        <translation>Stav skladu</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Per kind the bottles delivered, issued and left in the store.</source>
        <translation>Pro každý druh láhve dodané, vydané a zbylé ve skladu.</translation>
    </message>
    <message>
        <location line="+81"/>
        <source>&quot;%1&quot; is in several names: %2. Choose one.</source>
        <translation>„%1“ je ve více názvech: %2. Vyberte jeden.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Choose a bottle or type an EAN or an item name.</source>
        <translation>Vyberte láhev, nebo napište EAN či název položky.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Quantity: %1</source>
        <translation>Množství: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cost: %1</source>
        <translation>Cena: %1</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Select the records to delete first.</source>
        <translation>Nejdřív vyberte záznamy, které chcete smazat.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Delete Records</source>
        <translation>Smazat záznamy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete the selected records (%1)?</source>
        <translation>Smazat vybrané záznamy (%1)?</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>The record could not be saved: %1</source>
        <translation>Záznam nelze uložit: %1</translation>
    </message>
</context>
<context>
    <name>DialogInteraction</name>
    <message>
        <location filename="../app/dialoginteraction.cpp" line="+49"/>
        <source>%1 more lines: Show Details...</source>
        <translation>Dalších řádků: %1, viz Ukázat podrobnosti...</translation>
    </message>
    <message>
        <location line="+99"/>
        <source>Type to filter</source>
        <translation>Pište pro zúžení seznamu</translation>
    </message>
</context>
<context>
    <name>DiffDatabase</name>
    <message>
        <location filename="../database/diffdatabase.cpp" line="+104"/>
        <source>EAN</source>
        <translation>EAN</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Full Item Name</source>
        <translation>Úplný název položky</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Full Bottle Volume [ml]</source>
        <translation>Objem plné láhve [ml]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Full Bottle Weight [g]</source>
        <translation>Hmotnost plné láhve [g]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Empty Bottle Weight [g]</source>
        <translation>Hmotnost prázdné láhve [g]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Weight correction [+/- g]</source>
        <translation>Korekce hmotnosti [+/- g]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Update</source>
        <translation>Aktualizovat</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Tick to choose the items to update.</source>
        <translation>Zaškrtnutím vybere položky k aktualizaci.</translation>
    </message>
</context>
<context>
    <name>DoubtSummary</name>
    <message>
        <location filename="../count/doubtsummary.cpp" line="+21"/>
        <source>Weighings to check before counting up the cash: %1</source>
        <translation>Vážení ke kontrole před výpočtem tržby: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 (EAN %2): %3 l in the last saved table, but not in this count: not counted at all.</source>
        <translation>%1 (EAN %2): %3 l v poslední uložené tabulce, ale v této inventuře chybí: vůbec se nepočítá.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This is the first count: with no saved table before it, there was nothing at the start, so every sold quantity and its cash are negative. Save the table: its final quantities are where the next count starts.</source>
        <translation>Toto je první inventura: před ní není uložená tabulka, na začátku tedy nebylo nic, a proto je každé prodané množství i jeho tržba záporné. Uložte tabulku: její konečné stavy jsou začátkem příští inventury.</translation>
    </message>
</context>
<context>
    <name>ErrorBox</name>
    <message>
        <location filename="../app/errorbox.ui" line="+9"/>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../app/errorbox.cpp" line="+29"/>
        <location filename="../app/mainwindow.cpp" line="+648"/>
        <source>Error</source>
        <translation>Chyba</translation>
    </message>
</context>
<context>
    <name>History</name>
    <message>
        <location filename="../count/history.cpp" line="+325"/>
        <source>It is not an inventory table.</source>
        <translation>Není to tabulka inventury.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The folder %1 cannot be created.</source>
        <translation>Složku %1 nelze vytvořit.</translation>
    </message>
    <message>
        <location line="+146"/>
        <source>Table</source>
        <translation>Tabulka</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>From</source>
        <translation>Od</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>To</source>
        <translation>Do</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Alcohol Sales</source>
        <translation>Tržba za alkohol</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Other Items</source>
        <translation>Ostatní položky</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Total Sales</source>
        <translation>Celková tržba</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Currency</source>
        <translation>Měna</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Till Variance</source>
        <translation>Rozdíl proti pokladně</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Till Variance [sell units]</source>
        <translation>Rozdíl proti pokladně [prodejní jednotky]</translation>
    </message>
</context>
<context>
    <name>HistoryModel</name>
    <message>
        <location filename="../count/historymodel.cpp" line="+126"/>
        <source>Damaged: %1</source>
        <translation>Poškozený: %1</translation>
    </message>
    <message>
        <location line="-15"/>
        <source>%1: corrected by table No. %2, so left out of the totals and charts.</source>
        <translation>%1: opravena tabulkou č. %2, proto není v součtech ani v grafech.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1: the first count, which sets the stock; it sells nothing, so it is left out of the totals and charts.</source>
        <translation>%1: první inventura, která stanoví zásobu; nic neprodává, proto není v součtech ani v grafech.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Cannot be read: %1 (%2)</source>
        <translation>Nelze přečíst: %1 (%2)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Opening count</source>
        <translation>Úvodní inventura</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Table</source>
        <translation>Tabulka</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>%1 (replaced by %2)</source>
        <translation>%1 (nahrazena č. %2)</translation>
    </message>
    <message>
        <location line="-97"/>
        <source>The costs could not be read: %1</source>
        <translation>Nákupní ceny nelze přečíst: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No cost for: %1.</source>
        <translation>Chybí nákupní cena: %1.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bottle volume not known (not in the catalogue): %1.</source>
        <translation>Neznámý objem lahve (není v katalogu): %1.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not worked out, as a bottle without a cost is never taken as free. %1</source>
        <translation>Nespočítáno, protože lahev bez nákupní ceny se nikdy nepočítá jako zdarma. %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No alcohol sales in this period, so no pour cost.</source>
        <translation>V tomto období není žádná tržba za alkohol, takže ani nákladovost.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The bottles sold, valued at today&apos;s costs; the pour cost is this cost of goods as a share of the alcohol sales.</source>
        <translation>Prodané lahve oceněné dnešními nákupními cenami; nákladovost je podíl těchto nákladů na tržbě za alkohol.</translation>
    </message>
    <message>
        <location line="+120"/>
        <source>From</source>
        <translation>Od</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>To</source>
        <translation>Do</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Alcohol Sales</source>
        <translation>Tržba za alkohol</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Other Items</source>
        <translation>Ostatní položky</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Total Sales</source>
        <translation>Celková tržba</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Currency</source>
        <translation>Měna</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Till
Variance</source>
        <translation>Rozdíl proti
pokladně</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Till Variance
[sell units]</source>
        <translation>Rozdíl proti pokladně
[prodejní jednotky]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cost of
Goods</source>
        <translation>Náklady na
zboží</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pour
Cost</source>
        <translation>Nákladovost
[%]</translation>
    </message>
</context>
<context>
    <name>HistoryPage</name>
    <message>
        <location filename="../app/historypage.cpp" line="+129"/>
        <location line="+377"/>
        <source>History of counts</source>
        <translation>Historie inventur</translation>
    </message>
    <message>
        <location line="-364"/>
        <source>Back</source>
        <translation>Zpět</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+265"/>
        <source>Open Count</source>
        <translation>Otevřít inventuru</translation>
    </message>
    <message>
        <location line="-264"/>
        <source>Import Folder...</source>
        <translation>Importovat složku...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Export CSV</source>
        <translation>Export do CSV</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Print</source>
        <translation>Tisk</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>All Bars</source>
        <translation>Všechny bary</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Every bar of the shared server side by side, with a chart per bar.</source>
        <translation>Všechny bary sdíleného serveru vedle sebe, s grafem pro každý bar.</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Total sales per period</source>
        <translation>Celková tržba za období</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+213"/>
        <source>Sold quantity per period [L]</source>
        <translation>Prodané množství za období [L]</translation>
    </message>
    <message>
        <location line="-205"/>
        <source>Money</source>
        <translation>Peníze</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Sell units</source>
        <translation>Prodejní jednotky</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Till variance per period</source>
        <translation>Rozdíl proti pokladně za období</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Sales</source>
        <translation>Tržba</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Till Variance</source>
        <translation>Rozdíl proti pokladně</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>Pour cost per period [%]</source>
        <translation>Nákladovost za období [%]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pour cost per period</source>
        <translation>Nákladovost za období</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The cost of the bottles sold per alcohol sales, in percent, for each count with a cost for every bottle it sold.</source>
        <translation>Náklady na prodané lahve vůči tržbě za alkohol v procentech, pro každou inventuru s nákupní cenou u každé prodané lahve.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Charts</source>
        <translation>Grafy</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Total sales per period [%1]</source>
        <translation>Celková tržba za období [%1]</translation>
    </message>
    <message>
        <location line="-44"/>
        <source>Pour Cost</source>
        <translation>Nákladovost</translation>
    </message>
    <message>
        <location line="+59"/>
        <source>Whole count</source>
        <translation>Celá inventura</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Till variance per period [%1]</source>
        <translation>Rozdíl proti pokladně za období [%1]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: till variance per period [%2]</source>
        <translation>%1: rozdíl proti pokladně za období [%2]</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>Please select a count that is not damaged.</source>
        <translation>Vyberte prosím inventuru, která není poškozená.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Choose any table file in the folder to import</source>
        <translation>Vyberte libovolný soubor tabulky ve složce, kterou chcete importovat</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Inventory table (*.inv)</source>
        <translation>Tabulka inventury (*.inv)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Table files added to the history: %1</source>
        <translation>Soubory tabulek přidané do historie: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Skipped as damaged: %1</source>
        <translation>Přeskočeno jako poškozené: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The history could not take a copy: %1</source>
        <translation>Do historie nelze uložit kopii: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Import Folder</source>
        <translation>Import složky</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Export to CSV</source>
        <translation>Export do CSV</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CSV Files (*.csv)</source>
        <translation>Soubory CSV (*.csv)</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Unable to print</source>
        <translation>Nelze tisknout</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The printer could not be started.</source>
        <translation>Tiskárnu nelze spustit.</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Total Sales: %1</source>
        <translation>Celková tržba: %1</translation>
    </message>
    <message>
        <location line="-358"/>
        <source>Export to Excel...</source>
        <translation>Export do Excelu...</translation>
    </message>
    <message>
        <location line="+246"/>
        <source>%1: sold quantity per period [L]</source>
        <translation>%1: prodané množství za období [L]</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>Export to Excel</source>
        <translation>Export do Excelu</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Excel Workbook (*.xlsx)</source>
        <translation>Sešit Excelu (*.xlsx)</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>History of counts, %1 - %2</source>
        <translation>Historie inventur, %1 - %2</translation>
    </message>
</context>
<context>
    <name>Inventory</name>
    <message>
        <location filename="../inventory/inventory.cpp" line="+55"/>
        <location line="+169"/>
        <source>&quot;%1&quot; is more than any bar holds.</source>
        <translation>„%1“ je víc, než pojme jakýkoli bar.</translation>
    </message>
    <message>
        <location line="-114"/>
        <source>Err</source>
        <translation>Chyba</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>The bottle volume is unknown, so pieces cannot be turned into litres.</source>
        <translation>Objem láhve není znám, kusy proto nelze převést na litry.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&quot;%1&quot;: bottles are counted in whole pieces; switch the column to litres for a part of a bottle.</source>
        <translation>„%1“: láhve se počítají v celých kusech; pro část láhve přepněte sloupec na litry.</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>A sell unit of less than a millilitre cannot be sold.</source>
        <translation>Prodejní jednotku menší než mililitr nelze prodat.</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>
[L]</source>
        <translation>
[l]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>
[Pieces]</source>
        <translation>
[ks]</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Loaded Items</source>
        <translation>Načtené položky</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sell
Unit</source>
        <translation>Prodejní
jednotka</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Price per
Unit</source>
        <translation>Cena za
jednotku</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Initial
Quantity</source>
        <translation>Počáteční
stav</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>From Stock</source>
        <translation>Fasování</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Measured
Quantity</source>
        <translation>Naměřený
stav</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bottles
Quantity</source>
        <translation>Celé
láhve</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Final
Quantity</source>
        <translation>Konečný
stav</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sold
Quantity</source>
        <translation>Prodané
množství</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cash In</source>
        <translation>Tržba</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The volume can be edited; it is 0.04 l unless changed.</source>
        <translation>Lze editovat objem. Defaultně je nastaven 0,04l.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Set it at the first count only: the prices are read from the last saved table. Click to choose CZK or EUR.</source>
        <translation>Stačí nastavit při první inventuře. Automaticky načítá ceny z poslední uložené tabulky. Kliknutím lze zvolit Kč nebo EUR.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Reads the final stock of the last saved table as the initial stock for working out the sales.</source>
        <translation>Automaticky načítá konečné stavy z poslední uložené tabulky jako stavy počáteční pro výpočet tržby.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The quantities taken from stock to the bar can be added per item. Click to choose bottles or litres as the unit.</source>
        <translation>Lze doplnit jednotlivé položky o množství nafasovaná na bar. Kliknutím lze zvolit jednotky v počtu láhví nebo v litrech.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Shows the weighings downloaded from Quarmel.</source>
        <translation>Zobrazuje naměřená data stažená z Quarmelu.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The final stock of the bar that Quarmel did not weigh can be added. Click to choose bottles or litres as the unit.</source>
        <translation>Lze doplnit o konečné stavy baru, které nebyly načteny Quarmelem. Kliknutím lze zvolit jednotky v počtu láhví nebo v litrech.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Shows the sum of the weighed stock and the whole bottles.</source>
        <translation>Zobrazuje součet naměřených hodnot a celých láhví.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Shows the initial stock plus the stock taken, less the final stock.</source>
        <translation>Zobrazuje rozdíl mezi počátečním stavem s přičteným fasováním a konečným stavem.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Shows the sales in the chosen currency.</source>
        <translation>Zobrazuje prodeje ve zvolené měně.</translation>
    </message>
    <message>
        <location line="+128"/>
        <source>Not weighed in this count: all %1 l count as sold.</source>
        <translation>V této inventuře nevážena: všech %1 l se počítá jako prodaných.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 l more left than there was plus what was issued: a missed issue from stock, or a weighing to check.</source>
        <translation>Zbylo o %1 l víc, než bylo plus co se nafasovalo: chybí výdej ze skladu, nebo je třeba zkontrolovat vážení.</translation>
    </message>
</context>
<context>
    <name>InventoryBottleList</name>
    <message>
        <location filename="../inventory/inventorybottlelist.cpp" line="+130"/>
        <location line="+153"/>
        <source>Error in database</source>
        <translation>Chyba v databázi</translation>
    </message>
    <message>
        <location line="-154"/>
        <source>Empty bottle weight must be less then Full bottle weight.
Item: &apos;%1&apos;</source>
        <translation>Hmotnost prázdné láhve musí být menší než hmotnost plné láhve.
Položka: &apos;%1&apos;</translation>
    </message>
    <message>
        <location line="-40"/>
        <source>Bottle: %1, weighed %2 g.</source>
        <translation>Láhev: %1, zváženo %2 g.</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Error</source>
        <translation>Chyba</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Bottle weight (%1 g) is lower than empty weight (%2 g) !</source>
        <translation>Hmotnost láhve (%1 g) je nižší než hmotnost prázdné láhve (%2 g)!</translation>
    </message>
    <message>
        <location line="+146"/>
        <source>Bottle &apos;%1&apos; is not in database!</source>
        <translation>Láhev &apos;%1&apos; není v databázi!</translation>
    </message>
    <message>
        <location line="+74"/>
        <location line="+79"/>
        <source>Item</source>
        <translation>Položka</translation>
    </message>
    <message>
        <location line="-77"/>
        <location line="+77"/>
        <source>Residue</source>
        <translation>Zbytek</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>EAN</source>
        <translation>EAN</translation>
    </message>
    <message>
        <location line="-295"/>
        <source>Weighed %1 g, less than the empty bottle (%2 g): counted as empty.</source>
        <translation>Zváženo %1 g, méně než prázdná láhev (%2 g): počítá se jako prázdná.</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Weighed %1 g, %2 g more than the full bottle (%3 g): two bottles on the scale, or a wrong catalogue entry?</source>
        <translation>Zváženo %1 g, o %2 g víc než plná láhev (%3 g): dvě láhve na váze, nebo chybná položka databáze?</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Weighed %1 times: the residues are added up (several open bottles?).</source>
        <translation>Zváženo %1krát: zůstatky se sčítají (několik otevřených láhví?).</translation>
    </message>
</context>
<context>
    <name>ItemInventory</name>
    <message>
        <location filename="../inventory/iteminventory.cpp" line="+133"/>
        <source>Appended Items</source>
        <translation>Přidané položky</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sell
Unit [pcs]</source>
        <translation>Prodejní
jednotka [ks]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Price per
Unit</source>
        <translation>Cena za
jednotku</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Initial
Quantity [pcs]</source>
        <translation>Počáteční
stav [ks]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>From Stock [pcs]</source>
        <translation>Fasování [ks]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Final
Quantity [pcs]</source>
        <translation>Konečný
stav [ks]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sold
Quantity [pcs]</source>
        <translation>Prodané
množství [ks]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sales</source>
        <translation>Tržba</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../app/mainwindow.ui" line="+14"/>
        <source>Quarmel Inventory</source>
        <translation>Quarmel Inventory</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Last Saved Table: </source>
        <translation>Poslední uložená tabulka: </translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+17"/>
        <location line="+133"/>
        <location line="+590"/>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <location line="-733"/>
        <source>Last Database Update: </source>
        <translation>Poslední aktualizace databáze: </translation>
    </message>
    <message>
        <location line="+53"/>
        <location filename="../app/menus.cpp" line="+217"/>
        <source>Load Last Inventory</source>
        <translation>Načíst poslední inventuru</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Reads the latest weighings from Quarmel.</source>
        <translation>Načte z&#xa0;Quarmelu poslední provedená měření.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Shows the items for which the server holds newer weights than your local database, for example after a bottle redesign. Shows new items of the database too.</source>
        <translation>Zobrazí položky, u nichž jsou na serveru uloženy aktuálnější hmotnosti, než máte uloženy ve vaší lokální databázi, například při faceliftu láhví. Zobrazuje i nové položky v&#xa0;databázi.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Reads the last, the next to last and the one before the next to last weighings from Quarmel.</source>
        <translation>Načte z&#xa0;Quarmelu poslední, předposlední a předpředposlední provedená měření.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Lets you edit the items of the database.</source>
        <translation>Umožní editovat položky v&#xa0;databázi.</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Adds a new item of your own to the database. The change must be saved.</source>
        <translation>Umožní přidat novou vlastní položku do databáze. Změna musí být uložena.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Removes the item from the database. The change must be saved.</source>
        <translation>Odstraní položku z&#xa0;databáze. Změna musí být uložena.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Saves the changes made to the database for good.</source>
        <translation>Nevratně uloží změny provedené v&#xa0;databázi.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Releases the safety lock, so that items of the database can be added, deleted and edited.</source>
        <translation>Odemkne pojistku a umožní přidávat, mazat a editovat položky databáze.</translation>
    </message>
    <message>
        <location line="+23"/>
        <location line="+193"/>
        <location line="+361"/>
        <location line="+104"/>
        <source>Returns to the home page.</source>
        <translation>Vrátí na titulní stranu.</translation>
    </message>
    <message>
        <location line="-626"/>
        <source>Adds an item to the table of appended items.</source>
        <translation>Přidá položku do tabulky přidaných položek.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Deletes the selected item.</source>
        <translation>Smaže vybranou položku.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Prints the table with the counted sales.</source>
        <translation>Vytiskne tabulku se spočítanou tržbou.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Opens the table with the counted sales in Excel.</source>
        <translation>Tabulku se spočítanou tržbou otevře v&#xa0;Excelu.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Saves the table with the counted sales as .CSV.</source>
        <translation>Tabulku se spočítanou tržbou uloží ve formátu .CSV.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Reads the final stock of a chosen saved sales table into the initial stock of the table being worked on.</source>
        <translation>Načte konečné stavy ze zvolené uložené tabulky se spočítanou tržbou do počátečních stavů zpracovávané tabulky.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Saves the table with the counted sales. Its final stock is read as the initial stock of the next count.</source>
        <translation>Uloží tabulku se spočítanou tržbou. Konečné stavy této tabulky budou automaticky načteny jako stavy počáteční při dalším výpočtu tržby.</translation>
    </message>
    <message>
        <location line="+137"/>
        <source>Removes, for instance, a bottle read twice by mistake.</source>
        <translation>Odstraní například omylem dvakrát načtenou láhev.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Prints the table of inventory items with the measured stock.</source>
        <translation>Vytiskne tabulku inventurních položek a naměřené stavy.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Opens the table of inventory items with the measured stock in Excel.</source>
        <translation>Tabulku inventurních položek s&#xa0;naměřenými stavy otevře v&#xa0;Excelu.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Saves the table of inventory items with the measured stock as .CSV.</source>
        <translation>Tabulku inventurních položek s&#xa0;naměřenými stavy uloží ve formátu .CSV.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Saves the table of inventory items with the measured stock as .XML.</source>
        <translation>Tabulku inventurních položek s&#xa0;naměřenými stavy uloží ve formátu .XML.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Compares the measured data with the initial stock and counts up the sales.</source>
        <translation>Porovná naměřená data s&#xa0;počátečními stavy a spočítá tržbu.</translation>
    </message>
    <message>
        <location line="+109"/>
        <source>Takes the ticked inventory for further work.</source>
        <translation>Zaškrtnutím vybere inventuru k&#xa0;dalšímu zpracování.</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>Overwrites the current weights of the ticked items with the proposed updated weights, for good.</source>
        <translation>Nevratně přepíše stávající hmotnosti navrhovanými aktualizovanými hmotnostmi u zaškrtnutých položek.</translation>
    </message>
    <message>
        <location line="-823"/>
        <source>Refresh Database</source>
        <translation>Aktualizovat databázi</translation>
    </message>
    <message>
        <location line="+29"/>
        <location filename="../app/menus.cpp" line="+2"/>
        <source>Load Last Three Inventories</source>
        <translation>Načíst poslední tři inventury</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Edit Database</source>
        <translation>Upravit databázi</translation>
    </message>
    <message>
        <location line="+48"/>
        <location line="+124"/>
        <location filename="../app/menus.cpp" line="+10"/>
        <source>Add Item</source>
        <translation>Přidat položku</translation>
    </message>
    <message>
        <location line="-101"/>
        <location line="+124"/>
        <location line="+252"/>
        <location filename="../app/cataloguepages.cpp" line="+394"/>
        <location filename="../app/mainwindow.cpp" line="-57"/>
        <source>Delete Item</source>
        <translation>Smazat položku</translation>
    </message>
    <message>
        <location line="-353"/>
        <location line="+681"/>
        <source>Save</source>
        <translation>Uložit</translation>
    </message>
    <message>
        <location line="-658"/>
        <location filename="../app/menus.cpp" line="-1"/>
        <source>Unlock to Edit</source>
        <translation>Odemknout úpravy</translation>
    </message>
    <message>
        <location line="+23"/>
        <location line="+193"/>
        <location line="+252"/>
        <location line="+109"/>
        <location line="+104"/>
        <source>Back</source>
        <translation>Zpět</translation>
    </message>
    <message>
        <location line="-646"/>
        <location line="+658"/>
        <source>Database Items</source>
        <translation>Položky databáze</translation>
    </message>
    <message>
        <location line="-592"/>
        <location line="+252"/>
        <source>Print</source>
        <translation>Tisk</translation>
    </message>
    <message>
        <location line="-229"/>
        <location line="+252"/>
        <location filename="../app/mainwindow.cpp" line="+25"/>
        <location filename="../app/menus.cpp" line="-31"/>
        <location filename="../app/salespage.cpp" line="+691"/>
        <source>Export to Excel</source>
        <translation>Export do Excelu</translation>
    </message>
    <message>
        <location line="-229"/>
        <location line="+252"/>
        <location filename="../app/menus.cpp" line="+3"/>
        <location filename="../app/overviewpages.cpp" line="+305"/>
        <location filename="../app/salespage.cpp" line="-151"/>
        <source>Export to CSV</source>
        <translation>Export do CSV</translation>
    </message>
    <message>
        <location line="-229"/>
        <source>Import Table</source>
        <translation>Import tabulky</translation>
    </message>
    <message>
        <location line="+23"/>
        <location filename="../app/mainwindow.cpp" line="-183"/>
        <location filename="../app/menus.cpp" line="-8"/>
        <location filename="../app/salespage.cpp" line="-67"/>
        <source>Save Table</source>
        <translation>Uložit tabulku</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Inventory</source>
        <translation>Inventura</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Alcohol Sales</source>
        <translation>Tržba za alkohol</translation>
    </message>
    <message>
        <location line="+16"/>
        <location filename="../app/salespage.cpp" line="-30"/>
        <source>+ Appended Items</source>
        <translation>+ Přidané položky</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Other Items Sales</source>
        <translation>Tržba za ostatní položky</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Total Sales</source>
        <translation>Celková tržba</translation>
    </message>
    <message>
        <location line="+108"/>
        <location filename="../app/menus.cpp" line="+11"/>
        <location filename="../app/overviewpages.cpp" line="+10"/>
        <source>Export to XML</source>
        <translation>Export do XML</translation>
    </message>
    <message>
        <location line="+23"/>
        <location filename="../app/salespage.cpp" line="-248"/>
        <location line="+8"/>
        <source>Count Up Cash In</source>
        <translation>Spočítat tržbu</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>created:</source>
        <translation>vytvořeno:</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Select</source>
        <translation>Vybrat</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Last Balance</source>
        <translation>Poslední inventura</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Next to Last Balance</source>
        <translation>Předposlední inventura</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Two before the Last Balance</source>
        <translation>Předpředposlední inventura</translation>
    </message>
    <message>
        <location line="+99"/>
        <source>Current</source>
        <translation>Stávající</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Updated</source>
        <translation>Aktualizované</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="-328"/>
        <source>CZK</source>
        <translation>Kč</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>EUR</source>
        <translation>EUR</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Litres</source>
        <translation>Litry</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pieces</source>
        <translation>Kusy</translation>
    </message>
    <message>
        <location line="+32"/>
        <location filename="../app/menus.cpp" line="+215"/>
        <source>Reading the catalogue from Quarmel: %1 %</source>
        <translation>Načítání katalogu z Quarmelu: %1 %</translation>
    </message>
    <message>
        <location line="+38"/>
        <location filename="../app/menus.cpp" line="-86"/>
        <source>© 2026 Quarmel Inventory developers. Free to use in your bar.</source>
        <translation>© 2026 vývojáři Quarmel Inventory. Volně k použití ve vašem baru.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Quarmel Inventory SW </source>
        <translation>Quarmel Inventory SW </translation>
    </message>
    <message>
        <location filename="../app/accessibility.cpp" line="+29"/>
        <source>Catalogue</source>
        <translation>Katalog</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The bottles and items the station knows, one per row.</source>
        <translation>Láhve a položky, které váha zná, každá na jednom řádku.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Catalogue update</source>
        <translation>Aktualizace katalogu</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The catalogue with the update applied; updated rows are shaded.</source>
        <translation>Katalog s použitou aktualizací; aktualizované řádky jsou podbarvené.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bottle sales</source>
        <translation>Prodej lahví</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>One row per bottle: stock at the start, bottles taken from stock, weighed stock and sales.</source>
        <translation>Jeden řádek na láhev: počáteční stav, fasování, zvážený stav a tržba.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Appended item sales</source>
        <translation>Prodej přidaných položek</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Items sold by the piece, added to this count.</source>
        <translation>Položky prodávané po kusech, přidané do této inventury.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Weighed bottles</source>
        <translation>Zvážené láhve</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Every weighing of the inventory read from the station, with the residue left in the bottle.</source>
        <translation>Každé vážení inventury načtené z váhy se zbytkem v láhvi.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Last count</source>
        <translation>Poslední inventura</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The weighings of the last inventory in the station.</source>
        <translation>Vážení poslední inventury ve váze.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Next to last count</source>
        <translation>Předposlední inventura</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The weighings of the inventory before the last.</source>
        <translation>Vážení předposlední inventury.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Two before the last count</source>
        <translation>Předpředposlední inventura</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The weighings of the inventory two before the last.</source>
        <translation>Vážení předpředposlední inventury.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Saved counts</source>
        <translation>Uložené inventury</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Every saved count with its period and its takings.</source>
        <translation>Všechny uložené inventury s obdobím a tržbou.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Till variance</source>
        <translation>Rozdíly proti pokladně</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>What the count says was sold beside what the till took, row by row.</source>
        <translation>Co podle inventury prodáno a co utržila pokladna, řádek po řádku.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Till products not matched</source>
        <translation>Nepřiřazené položky pokladny</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sold but not in the till</source>
        <translation>Prodáno, ale není v pokladně</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Till takings</source>
        <translation>Tržba pokladny</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The amount the till took in the period of this count.</source>
        <translation>Částka, kterou pokladna utržila v období této inventury.</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../app/mainwindow.cpp" line="+165"/>
        <source>The end of the period of this count; the next count starts here.</source>
        <translation>Konec období této inventury; zde začne další inventura.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Counted at</source>
        <translation>Sečteno</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bottle in the chart</source>
        <translation>Láhev v grafu</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The bottle whose sold quantity the chart shows.</source>
        <translation>Láhev, jejíž prodané množství graf ukazuje.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bottle in the till variance chart</source>
        <translation>Láhev v grafu rozdílu proti pokladně</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The whole count, or the bottle whose till variance the chart shows.</source>
        <translation>Celá inventura, nebo láhev, jejíž rozdíl proti pokladně graf ukazuje.</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="-19"/>
        <source>Deliveries and Issues...</source>
        <comment>sales page button</comment>
        <translation>Sklad...</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Counted at:</source>
        <translation>Sečteno:</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>The local database file is damaged (%1). Only the items before the fault were loaded. A copy of the damaged file was kept as %2.</source>
        <translation>Soubor místní databáze je poškozený (%1). Načteny byly jen položky před místem poškození. Kopie poškozeného souboru byla uložena jako %2.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Data folder not writable</source>
        <translation>Do datové složky nelze zapisovat</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The data folder %1 cannot be written (%2). The database and the last saved table cannot be kept until it can.</source>
        <translation>Do datové složky %1 nelze zapisovat (%2). Databázi ani poslední uloženou tabulku nelze uchovat, dokud to nepůjde.</translation>
    </message>
    <message>
        <location line="+117"/>
        <source>%1 (damaged)</source>
        <translation>%1 (poškozená)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 (cannot be read)</source>
        <translation>%1 (nelze přečíst)</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>(row %1 without a name)</source>
        <translation>(řádek %1 bez názvu)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>and %1 more</source>
        <translation>a dalších %1</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Excel Workbook (*.xlsx)</source>
        <translation>Sešit Excelu (*.xlsx)</translation>
    </message>
    <message>
        <location line="-217"/>
        <source>The local database file is damaged (%1). Only the items before the fault were loaded, and no copy of the damaged file could be kept.</source>
        <translation>Soubor místní databáze je poškozený (%1). Načteny byly jen položky před místem poškození a kopii poškozeného souboru se nepodařilo uložit.</translation>
    </message>
    <message>
        <location line="-141"/>
        <source>The full-weight tolerance and the shared server this computer sends its saves to.</source>
        <translation>Tolerance plné hmotnosti a sdílený server, na který tento počítač posílá uložené inventury.</translation>
    </message>
    <message>
        <location line="+71"/>
        <location filename="../app/menus.cpp" line="-124"/>
        <source>Order List...</source>
        <translation>Objednávka...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The whole bottles to buy for each kind below its par level, by supplier.</source>
        <translation>Celé lahve k nákupu pro každý druh pod cílovým stavem, podle dodavatelů.</translation>
    </message>
    <message>
        <location filename="../app/menus.cpp" line="+1"/>
        <source>Deliveries and Issues...</source>
        <translation>Dodávky a výdeje...</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="+7"/>
        <source>What arrived from suppliers and went from the store to the bar; the issues fill From Stock.</source>
        <translation>Co přišlo od dodavatelů a co šlo ze skladu na bar; výdeje vyplní Fasování.</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Damaged database</source>
        <translation>Poškozená databáze</translation>
    </message>
    <message>
        <location filename="../app/overviewpages.cpp" line="-192"/>
        <location line="+21"/>
        <location line="+12"/>
        <source>Reading inventory from Quarmel: %1 %</source>
        <translation>Načítání inventury z Quarmelu: %1 %</translation>
    </message>
    <message>
        <location line="-22"/>
        <source>Quarmel FW: unknown</source>
        <translation>Quarmel FW: neznámý</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Quarmel FW: %1</source>
        <translation>Quarmel FW: %1</translation>
    </message>
    <message>
        <location line="+141"/>
        <source>Add to database</source>
        <translation>Přidat do databáze</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not in the database: %1. Add it now? The database opens with a new row holding each EAN; fill in the names, volume and weights, press Save, then read the count again.</source>
        <translation>Není v databázi: %1. Přidat nyní? Otevře se databáze s novým řádkem pro každý EAN; vyplňte názvy, objem a hmotnosti, stiskněte Uložit a pak inventuru načtěte znovu.</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>From the overview:</source>
        <translation>Z přehledu:</translation>
    </message>
    <message>
        <location filename="../count/salestotals.cpp" line="+39"/>
        <source>Total Sales: %1</source>
        <translation>Celková tržba: %1</translation>
    </message>
    <message>
        <location line="-15"/>
        <source>Alcohol Sales: %1</source>
        <translation>Tržba za alkohol: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Other Items Sales: %1</source>
        <translation>Tržba za ostatní položky: %1</translation>
    </message>
    <message>
        <location filename="../app/salespage.cpp" line="+158"/>
        <location line="+231"/>
        <source>Sales: %1 - %2</source>
        <translation>Tržba: %1 - %2</translation>
    </message>
    <message>
        <location line="-234"/>
        <source>Old count No. %1, %2 – %3, read-only</source>
        <translation>Stará inventura č. %1, %2 – %3, jen pro čtení</translation>
    </message>
    <message>
        <location filename="../app/menus.cpp" line="-19"/>
        <source>&amp;File</source>
        <translation>&amp;Soubor</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Import Table...</source>
        <translation>Import tabulky...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Export</source>
        <translation>Export</translation>
    </message>
    <message>
        <location line="+9"/>
        <location filename="../app/salespage.cpp" line="+332"/>
        <source>Print...</source>
        <translation>Tisk...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Quit</source>
        <translation>Ukončit</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>S&amp;tation</source>
        <translation>S&amp;tanice</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Write Catalogue into Station</source>
        <translation>Zapsat katalog do váhy</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Catalogue</source>
        <translation>&amp;Katalog</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Edit Catalogue</source>
        <translation>Upravit katalog</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Refresh Catalogue</source>
        <translation>Aktualizovat katalog</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Histor&amp;y</source>
        <translation>&amp;Historie</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show History</source>
        <translation>Zobrazit historii</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../app/salespage.cpp" line="-472"/>
        <source>Open Count</source>
        <translation>Otevřít inventuru</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Import Folder...</source>
        <translation>Importovat složku...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Help</source>
        <translation>&amp;Nápověda</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+85"/>
        <source>User Guide</source>
        <translation>Uživatelská příručka</translation>
    </message>
    <message>
        <location line="-82"/>
        <location line="+95"/>
        <source>About Quarmel Inventory</source>
        <translation>O programu Quarmel Inventory</translation>
    </message>
    <message>
        <location line="-12"/>
        <source>The user guide is not installed.</source>
        <translation>Uživatelská příručka není nainstalována.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No program was found to open the user guide %1.</source>
        <translation>Nebyl nalezen program, který by otevřel uživatelskou příručku %1.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Quarmel Inventory %1</source>
        <translation>Quarmel Inventory %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stock-taking and takings of a bar with a Quarmel weighing station.</source>
        <translation>Inventura baru a výpočet tržby s váhou Quarmel.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Licence: see the copyright file installed with the program.</source>
        <translation>Licence: viz soubor copyright nainstalovaný s programem.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Station firmware: not read yet</source>
        <translation>Firmware váhy: zatím nenačten</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>Read the catalogue from the station</source>
        <translation>Načíst katalog z váhy</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Import a catalogue file (CSV)...</source>
        <translation>Importovat soubor katalogu (CSV)...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Start with an empty catalogue</source>
        <translation>Začít s prázdným katalogem</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Welcome to Quarmel Inventory</source>
        <translation>Vítejte v programu Quarmel Inventory</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>There is no catalogue of bottles yet. Quarmel Inventory keeps its data in the folder %1.
Where should the catalogue come from?</source>
        <translation>Katalog lahví zatím neexistuje. Quarmel Inventory ukládá svá data do složky %1.
Odkud se má katalog vzít?</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Catalogue read</source>
        <translation>Katalog načten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Items read from Quarmel: %1</source>
        <translation>Položky načtené z Quarmelu: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Import a catalogue file</source>
        <translation>Import souboru katalogu</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The catalogue file cannot be used: %1</source>
        <translation>Soubor katalogu nelze použít: %1</translation>
    </message>
    <message>
        <location filename="../app/salespage.cpp" line="+1"/>
        <source>The count %1 could not be read.</source>
        <translation>Inventuru %1 nelze přečíst.</translation>
    </message>
    <message>
        <location line="-23"/>
        <source>This count was already used for table No. %1. Saved again, this table replaces it in the history and its totals.</source>
        <translation>Tato inventura už byla použita pro tabulku č. %1. Pokud tuto tabulku uložíte znovu, nahradí ji v historii i v jejích součtech.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>This count was already used for table No. %1, and table No. %2 was saved after it. The sales table starts from table No. %2, so its figures are not those of table No. %1; saved, it is a new table and table No. %1 stays as it is.</source>
        <translation>Tato inventura už byla použita pro tabulku č. %1 a po ní byla uložena tabulka č. %2. Tabulka prodeje začíná od tabulky č. %2, takže její čísla nejsou čísla tabulky č. %1; po uložení to bude nová tabulka a tabulka č. %1 zůstane, jak je.</translation>
    </message>
    <message>
        <location line="+236"/>
        <source>- Appended Items</source>
        <translation>- Přidané položky</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Inventory not saved</source>
        <translation>Inventura není uložena</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Are you sure to leave? All unsaved data will be discarded.</source>
        <translation>Opravdu chcete odejít? Všechna neuložená data budou zahozena.</translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+28"/>
        <source>Inventory table files (*.inv)</source>
        <translation>Inventurní tabulky (*.inv)</translation>
    </message>
    <message>
        <location line="+155"/>
        <location line="+11"/>
        <source>Order List</source>
        <translation>Objednávka</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>No par levels are typed. Type them beside the costs on the catalogue page: the order list buys each kind up to its par level.</source>
        <translation>Nejsou zadány žádné cílové stavy. Zadejte je vedle nákupních cen na stránce katalogu: objednávka doplňuje každý druh do jeho cílového stavu.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nothing is below its par level.</source>
        <translation>Nic není pod cílovým stavem.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>What brings each kind below its par level up to par, in whole bottles, for the count of %1. %2.</source>
        <translation>Co doplní každý druh pod cílovým stavem na cílový stav, v celých lahvích, pro inventuru z %1. %2.</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+8"/>
        <location line="+22"/>
        <source>Record as Delivered</source>
        <translation>Zapsat jako dodané</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>Records today&apos;s delivery of the whole order into the store, with its cost and suppliers.</source>
        <translation>Zapíše dnešní dodávku celé objednávky do skladu, s cenou a dodavateli.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Record the whole order as delivered into the store today?</source>
        <translation>Zapsat celou objednávku jako dnes dodanou do skladu?</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>The delivery was not recorded: %1</source>
        <translation>Dodávka nebyla zapsána: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The order was recorded as delivered into the store.</source>
        <translation>Objednávka byla zapsána jako dodaná do skladu.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Order list after the count of </source>
        <translation>Objednávka po inventuře z </translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Deliveries and issues not read, From Stock not filled: %1</source>
        <translation>Dodávky a výdeje nelze přečíst, Fasování nevyplněno: %1</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Deliveries and Issues</source>
        <translation>Dodávky a výdeje</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The record %1 cannot be read: %2</source>
        <translation>Záznam %1 nelze přečíst: %2</translation>
    </message>
    <message>
        <location line="-288"/>
        <source>Table No. %1 saved: %2</source>
        <translation>Tabulka č. %1 uložena: %2</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>The file cannot be read: %1</source>
        <translation>Soubor nelze přečíst: %1</translation>
    </message>
    <message>
        <location line="+129"/>
        <source>From the sales table:</source>
        <translation>Z tabulky prodeje:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>From the appended items:</source>
        <translation>Z přidaných položek:</translation>
    </message>
    <message>
        <location filename="../app/fileprompt.cpp" line="+43"/>
        <source>Unable to save</source>
        <translation>Nelze uložit</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>Failed to save file</source>
        <translation>Soubor se nepodařilo uložit</translation>
    </message>
    <message>
        <location filename="../app/salespage.cpp" line="-145"/>
        <source>Import table</source>
        <translation>Import tabulky</translation>
    </message>
    <message>
        <location line="-314"/>
        <location line="+324"/>
        <location line="+4"/>
        <location line="+4"/>
        <source>Unable to import table</source>
        <translation>Tabulku nelze importovat</translation>
    </message>
    <message>
        <location line="-174"/>
        <source>Not taken: %1</source>
        <translation>Nepřijato: %1</translation>
    </message>
    <message>
        <location line="+167"/>
        <source>File not found.</source>
        <translation>Soubor nebyl nalezen.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>File is not inventory table.</source>
        <translation>Soubor není inventurní tabulka.</translation>
    </message>
    <message>
        <location filename="../app/cataloguepages.cpp" line="-228"/>
        <location line="+20"/>
        <location filename="../app/menus.cpp" line="-6"/>
        <location filename="../app/overviewpages.cpp" line="+7"/>
        <location filename="../app/salespage.cpp" line="+21"/>
        <source>CSV Files (*.csv)</source>
        <translation>Soubory CSV (*.csv)</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="+213"/>
        <source>Unable to open</source>
        <translation>Nelze otevřít</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No spreadsheet program was found. The table was saved as %1.</source>
        <translation>Nebyl nalezen žádný tabulkový program. Tabulka byla uložena jako %1.</translation>
    </message>
    <message>
        <location filename="../app/overviewpages.cpp" line="+10"/>
        <source>XML Files (*.xml)</source>
        <translation>Soubory XML (*.xml)</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="+10"/>
        <source>Unable to print</source>
        <translation>Nelze tisknout</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The printer could not be started.</source>
        <translation>Tiskárnu se nepodařilo spustit.</translation>
    </message>
    <message>
        <location filename="../app/fileprompt.cpp" line="+50"/>
        <source>Print Document</source>
        <translation>Tisk dokumentu</translation>
    </message>
    <message>
        <location filename="../app/overviewpages.cpp" line="+32"/>
        <source>Loaded: </source>
        <translation>Načteno: </translation>
    </message>
    <message>
        <location filename="../count/salestotals.cpp" line="+5"/>
        <source>Appended Item Sales: %1</source>
        <translation>Tržba za přidané položky: %1</translation>
    </message>
    <message>
        <location filename="../app/cataloguepages.cpp" line="+155"/>
        <source>Input EAN</source>
        <translation>Zadejte EAN</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>EAN</source>
        <translation>EAN</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+9"/>
        <source>Item already exists</source>
        <translation>Položka již existuje</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>This item already exists, select different one</source>
        <translation>Tato položka již existuje, zvolte jinou</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="+27"/>
        <source>Select Item</source>
        <translation>Vyberte položku</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select Item to Delete</source>
        <translation>Vyberte položku ke smazání</translation>
    </message>
    <message>
        <location filename="../app/cataloguepages.cpp" line="+40"/>
        <source>Are you sure to delete item %1 ?</source>
        <translation>Opravdu chcete smazat položku %1?</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="-67"/>
        <source>Are you sure to delete selected items ?</source>
        <translation>Opravdu chcete smazat vybrané položky?</translation>
    </message>
    <message>
        <location filename="../app/cataloguepages.cpp" line="-125"/>
        <source>Database not saved</source>
        <translation>Databáze není uložena</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Are you sure to leave? All unsaved changes of the database will be discarded.</source>
        <translation>Opravdu chcete odejít? Všechny neuložené změny databáze budou zahozeny.</translation>
    </message>
    <message>
        <location line="+77"/>
        <source>Invalid EAN</source>
        <translation>Neplatný EAN</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Type the EAN code printed under the bar code of the bottle.</source>
        <translation>Zadejte kód EAN vytištěný pod čárovým kódem láhve.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;%1&quot; is not an EAN: it has 8 to 14 digits and nothing else.</source>
        <translation>„%1“ není EAN: ten má 8 až 14 číslic a nic jiného.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>%1 is the same EAN to Quarmel as %2, which is in the database already: Quarmel keeps the EAN without its leading zeros.</source>
        <translation>%1 je pro Quarmel stejný EAN jako %2, který už v databázi je: Quarmel si EAN ukládá bez úvodních nul.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Check digit</source>
        <translation>Kontrolní číslice</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The last digit of %1 should be %2 if the other digits are right, so the code may be mistyped. Add it anyway?</source>
        <translation>Poslední číslice kódu %1 by při správných ostatních číslicích měla být %2, kód je tedy možná chybně opsaný. Přesto přidat?</translation>
    </message>
    <message>
        <location line="+40"/>
        <location line="+6"/>
        <source>Writing database: %1 %</source>
        <translation>Zápis databáze: %1 %</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Quarmel already holds the new database, so Quarmel and this computer now differ. Save again once the file can be written.</source>
        <translation>Quarmel už má novou databázi, Quarmel a tento počítač se proto nyní liší. Uložte znovu, až bude možné soubor zapsat.</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Quarmel holds at most %1 items, but the database has %2. Nothing was written; delete items and save again.</source>
        <translation>Quarmel pojme nejvýše %1 položek, ale databáze jich má %2. Nic nebylo zapsáno; smažte některé položky a uložte znovu.</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>The downloaded database update is larger than %1 MB, which no catalogue is. Nothing was taken over; check the address of the update.</source>
        <translation>Stažená aktualizace databáze má více než %1 MB, tak velký katalog není. Nic nebylo převzato; zkontrolujte adresu aktualizace.</translation>
    </message>
    <message>
        <location line="-75"/>
        <source>Quarmel cannot hold these items as they are. Nothing was written; correct them and save again.

%1</source>
        <translation>Quarmel nemůže tyto položky uložit tak, jak jsou. Nic nebylo zapsáno; opravte je a uložte znovu.

%1</translation>
    </message>
    <message>
        <location line="-260"/>
        <source>Import Costs...</source>
        <translation>Načíst nákupní ceny...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Export Costs...</source>
        <translation>Exportovat nákupní ceny...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reads EAN;cost;par;supplier lines (an appended item by its name in place of the EAN) into the costs of the bar.</source>
        <translation>Načte řádky EAN;cena;cílový stav;dodavatel (přidanou položku jejím názvem místo EAN) do nákupních cen baru.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Import Costs</source>
        <translation>Načíst nákupní ceny</translation>
    </message>
    <message>
        <location line="-92"/>
        <location line="+7"/>
        <source>Suggest Par</source>
        <translation>Navrhnout cílový stav</translation>
    </message>
    <message>
        <location line="+92"/>
        <source>The file is not there.</source>
        <translation>Soubor neexistuje.</translation>
    </message>
    <message>
        <location line="-98"/>
        <source>Nothing to suggest: no bottle with a cost was sold in the saved counts. Par levels are suggested from the history of counts, for the bottles that have a cost.</source>
        <translation>Není co navrhnout: v uložených inventurách se neprodala žádná láhev s nákupní cenou. Cílové stavy se navrhují z historie inventur pro láhve, které mají nákupní cenu.</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>Costs imported: %1.</source>
        <translation>Načtené nákupní ceny: %1.</translation>
    </message>
    <message>
        <location line="-94"/>
        <source>What each bottle used per period over the last %1 counts, brought to the usual period of %2 days and rounded up to whole bottles. Ticked rows take the suggestion.</source>
        <translation>Spotřeba každé láhve za období v posledních %1 inventurách, přepočtená na obvyklé období %2 dní a zaokrouhlená nahoru na celé lahve. Zaškrtnuté řádky převezmou návrh.</translation>
    </message>
    <message>
        <location line="+99"/>
        <source>Costs not imported</source>
        <translation>Nákupní ceny nebyly načteny</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Export Costs</source>
        <translation>Exportovat nákupní ceny</translation>
    </message>
    <message>
        <location line="-93"/>
        <source>Item</source>
        <translation>Položka</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Used per Period [bottles]</source>
        <translation>Spotřeba za období [lahve]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Par Now</source>
        <translation>Cílový stav nyní</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Suggested Par</source>
        <translation>Navržený cílový stav</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>Par levels taken: %1.</source>
        <translation>Převzaté cílové stavy: %1.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Par not taken</source>
        <translation>Cílový stav nebyl převzat</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Suggest Par...</source>
        <translation>Navrhnout cílový stav...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Proposes par levels from what each bottle used over the last counts; you choose which to take.</source>
        <translation>Navrhne cílové stavy podle spotřeby lahví v posledních inventurách; vy vyberete, které převzít.</translation>
    </message>
    <message>
        <location line="+152"/>
        <location filename="../app/salespage.cpp" line="-460"/>
        <location line="+577"/>
        <source>Costs not read: %1</source>
        <translation>Nákupní ceny nelze přečíst: %1</translation>
    </message>
    <message>
        <location line="+138"/>
        <source>Catalogue saved: written into Quarmel and kept on this computer.</source>
        <translation>Databáze uložena: zapsána do Quarmelu a uchována v tomto počítači.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Quarmel does not hold the database as it was written (reading it back showed a difference). Check the connection and save again.</source>
        <translation>Quarmel neobsahuje databázi tak, jak byla zapsána (zpětné čtení ukázalo rozdíl). Zkontrolujte připojení a uložte znovu.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Downloading database update</source>
        <translation>Stahování aktualizace databáze</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Error, downloading database, check internet connection.</source>
        <translation>Chyba při stahování databáze, zkontrolujte připojení k internetu.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The downloaded database update is damaged.</source>
        <translation>Stažená aktualizace databáze je poškozená.</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="-373"/>
        <source>History</source>
        <translation>Historie</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Shows the saved counts over time, with charts of the sales.</source>
        <translation>Zobrazí uložené inventury v čase s grafy tržeb.</translation>
    </message>
    <message>
        <location filename="../app/overviewpages.cpp" line="-144"/>
        <source>Weighings to check</source>
        <translation>Vážení ke kontrole</translation>
    </message>
    <message>
        <location line="-92"/>
        <source>Empty: Quarmel holds no weighings in this place.</source>
        <translation>Prázdné: Quarmel zde nemá žádná vážení.</translation>
    </message>
    <message>
        <location line="-59"/>
        <source>Download not recorded</source>
        <translation>Stažení nebylo zaznamenáno</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1

The weighings are shown all the same; only the note of when this count was first downloaded on this computer is missing.</source>
        <translation>%1

Vážení se přesto zobrazí; chybí jen záznam o tom, kdy byla tato inventura na tomto počítači poprvé stažena.</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Bottles: %1, first downloaded %2</source>
        <translation>Lahví: %1, poprvé staženo %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bottles: %1. Quarmel does not record when a count was taken, and this count had never been downloaded on this computer before.</source>
        <translation>Lahví: %1. Quarmel nezaznamenává, kdy byla inventura provedena, a tato inventura nebyla na tomto počítači dosud nikdy stažena.</translation>
    </message>
    <message>
        <location line="+151"/>
        <source>%1 (first downloaded %2)</source>
        <translation>%1 (poprvé staženo %2)</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="+36"/>
        <source>Settings...</source>
        <translation>Nastavení...</translation>
    </message>
    <message>
        <location filename="../app/storewindow.cpp" line="+36"/>
        <source>Server status</source>
        <translation>Stav serveru</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Server: sending...</source>
        <translation>Server: odesílá se...</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+91"/>
        <source>Reading every bar from the server...</source>
        <translation>Načítají se všechny bary ze serveru...</translation>
    </message>
    <message>
        <location line="-84"/>
        <source>The bars could not be read: %1</source>
        <translation>Bary nelze načíst: %1</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>Keep this computer&apos;s value</source>
        <translation>Ponechat hodnotu tohoto počítače</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Take the server&apos;s value</source>
        <translation>Převzít hodnotu ze serveru</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Changed on two computers</source>
        <translation>Změněno na dvou počítačích</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>All Bars</source>
        <translation>Všechny bary</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No shared server is set up. Enter it in Settings... on the home page.</source>
        <translation>Sdílený server není nastaven. Zadejte jej v Nastavení... na úvodní stránce.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>No shared server</source>
        <translation>Bez sdíleného serveru</translation>
    </message>
</context>
<context>
    <name>NumberInput</name>
    <message>
        <location filename="../inventory/numberinput.cpp" line="+33"/>
        <source>Type a number.</source>
        <translation>Zadejte číslo.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&quot;%1&quot; is negative; a quantity or a price cannot be.</source>
        <translation>„%1“ je záporné; množství ani cena záporné být nemohou.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>&quot;%1&quot; holds both a comma and a point; type the decimals after one of them and nothing between the thousands, or a blank.</source>
        <translation>„%1“ obsahuje čárku i tečku; desetinná místa pište za jednu z nich a tisíce neoddělujte, nebo jen mezerou.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&quot;%1&quot; is not a number; type digits with a decimal comma or point only.</source>
        <translation>„%1“ není číslo; pište jen číslice s desetinnou čárkou nebo tečkou.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>&quot;%1&quot; is too large.</source>
        <translation>„%1“ je příliš velké.</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>&quot;%1&quot; lies outside %2 to %3.</source>
        <translation>„%1“ leží mimo rozsah %2 až %3.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>&quot;%1&quot; is not a whole number.</source>
        <translation>„%1“ není celé číslo.</translation>
    </message>
</context>
<context>
    <name>OrderList</name>
    <message>
        <location filename="../count/costs.cpp" line="+163"/>
        <source>To order: nothing is below its par level.</source>
        <translation>Objednat: nic není pod cílovým stavem.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>To order (cost %1):</source>
        <translation>Objednat (cena %1):</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>No supplier</source>
        <translation>Bez dodavatele</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1 × %2</source>
        <translation>%1 × %2</translation>
    </message>
</context>
<context>
    <name>OrderModel</name>
    <message>
        <location filename="../count/ordermodel.cpp" line="+39"/>
        <source>No supplier</source>
        <translation>Bez dodavatele</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Item</source>
        <translation>Položka</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>EAN</source>
        <translation>EAN</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>On Hand
[bottles]</source>
        <translation>Na skladě
[lahve]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Par
[bottles]</source>
        <translation>Cílový stav
[lahve]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Order
[bottles]</source>
        <translation>Objednat
[lahve]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cost
[%1]</source>
        <translation>Cena
[%1]</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Order cost %1 %2</source>
        <translation>Cena objednávky %1 %2</translation>
    </message>
</context>
<context>
    <name>PasswordStore</name>
    <message>
        <location filename="../app/passwordstore.cpp" line="+91"/>
        <source>The password file could not be made readable for you alone.</source>
        <translation>Soubor s heslem nelze nastavit tak, aby jej mohl číst jen váš účet.</translation>
    </message>
</context>
<context>
    <name>PrintableTableModel</name>
    <message>
        <location filename="../inventory/printabletablemodel.cpp" line="+136"/>
        <location filename="../app/historypage.cpp" line="+33"/>
        <source>Page %1</source>
        <translation>Strana %1</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <location filename="../app/progressdialog.ui" line="+9"/>
        <source>Form</source>
        <translation>Formulář</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>picure</source>
        <translation>picure</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
</context>
<context>
    <name>SalesCostModel</name>
    <message>
        <location filename="../count/costcolumnmodel.cpp" line="+125"/>
        <source>no cost</source>
        <translation>bez ceny</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No cost is typed for this bottle on the catalogue page, so it is in none of the cost figures.</source>
        <translation>Pro tuto láhev není na stránce katalogu zadána nákupní cena, proto není v žádném z nákladových údajů.</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Pour
Cost</source>
        <translation>Nákladovost
[%]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cost of
Goods Sold</source>
        <translation>Náklady na
prodané zboží</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cost of goods sold of the row per its cash in. Far above the table&apos;s pour cost, in red, the drink is priced low for what it costs.</source>
        <translation>Náklady na prodané zboží řádku vůči jeho tržbě. Výrazně nad nákladovostí celé tabulky (červeně) je nápoj levný vzhledem k tomu, co stojí.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sold quantity / bottle volume × cost per bottle.</source>
        <translation>Prodané množství / objem láhve × nákupní cena láhve.</translation>
    </message>
</context>
<context>
    <name>SaveFile</name>
    <message>
        <location filename="../common/savefile.cpp" line="+27"/>
        <source>The data could not be written.</source>
        <translation>Data se nepodařilo zapsat.</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../common/settings.cpp" line="+151"/>
        <source>CZK</source>
        <translation>Kč</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>EUR</source>
        <translation>EUR</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>
[CZK]</source>
        <translation>
[Kč]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>
[EUR]</source>
        <translation>
[EUR]</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <location filename="../app/settingsdialog.cpp" line="+24"/>
        <location line="+172"/>
        <location line="+7"/>
        <source>Settings</source>
        <translation>Nastavení</translation>
    </message>
    <message>
        <location line="-172"/>
        <source>A weighing heavier than the full bottle by more than this is pointed out as doubtful.</source>
        <translation>Vážení těžší než plná láhev o více než tuto hodnotu se označí jako pochybné.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Full-weight tolerance:</source>
        <translation>&amp;Tolerance plné hmotnosti:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>The name or address of the computer with the shared database; empty for none.</source>
        <translation>Název nebo adresa počítače se sdílenou databází; prázdné, pokud žádný není.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The port the database server listens on; 5432 unless its owner changed it.</source>
        <translation>Port, na kterém databázový server naslouchá; 5432, pokud jej správce nezměnil.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The name of the shared database on the server.</source>
        <translation>Název sdílené databáze na serveru.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The login the owner of the server made for this bar.</source>
        <translation>Login, který správce serveru vytvořil pro tento bar.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Kept in the desktop&apos;s keyring, or in a file only you may read; never shown.</source>
        <translation>Uloženo v klíčence prostředí nebo v souboru, který smíte číst jen vy; nikdy se nezobrazuje.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>This data folder belongs to this bar; it is named once, at the first connection.</source>
        <translation>Tato datová složka patří k tomuto baru; název se zadává jednou, při prvním připojení.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The bar this computer counts for; every computer of one bar gives the same name.</source>
        <translation>Bar, pro který tento počítač inventuje; všechny počítače jednoho baru zadají stejný název.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Test Connection</source>
        <translation>&amp;Vyzkoušet připojení</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Connects to the server once with these settings and tells how it went.</source>
        <translation>Jednou se připojí k serveru s tímto nastavením a řekne, jak to dopadlo.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Shared server</source>
        <translation>Sdílený server</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Host:</source>
        <translation>&amp;Server:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>P&amp;ort:</source>
        <translation>&amp;Port:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Database:</source>
        <translation>&amp;Databáze:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Login:</source>
        <translation>&amp;Login:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pass&amp;word:</source>
        <translation>&amp;Heslo:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Bar:</source>
        <translation>&amp;Bar:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Counting never needs the server: saves made while it cannot be reached are sent later.</source>
        <translation>Inventura server nikdy nepotřebuje: co se uloží, když není dostupný, se odešle později.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Server host</source>
        <translation>Server</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Server port</source>
        <translation>Port serveru</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Server database</source>
        <translation>Databáze na serveru</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Server login</source>
        <translation>Login k serveru</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Server password</source>
        <translation>Heslo k serveru</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bar name</source>
        <translation>Název baru</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connection test result</source>
        <translation>Výsledek zkoušky připojení</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Full-weight tolerance</source>
        <translation>Tolerance plné hmotnosti</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Please fill in the host, the database and the login, or leave all three empty.</source>
        <translation>Vyplňte prosím server, databázi a login, nebo nechte všechny tři prázdné.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Please name the bar this computer counts for: %1</source>
        <translation>Zadejte prosím název baru, pro který tento počítač inventuje: %1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Please fill in the host, the database and the login.</source>
        <translation>Vyplňte prosím server, databázi a login.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Connecting...</source>
        <translation>Připojuje se...</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Not connected: %1</source>
        <translation>Nepřipojeno: %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Connected with the owner&apos;s login.</source>
        <translation>Připojeno s loginem správce.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connected as a login of the bar %1.</source>
        <translation>Připojeno jako login baru %1.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>The bar could not be kept in the data folder: %1</source>
        <translation>Bar nelze uložit do datové složky: %1</translation>
    </message>
</context>
<context>
    <name>StationProtocol</name>
    <message>
        <location filename="../link/stationprotocol.cpp" line="+208"/>
        <source>the EAN is empty</source>
        <translation>EAN je prázdný</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the EAN holds something other than digits</source>
        <translation>EAN obsahuje něco jiného než číslice</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the EAN must have 5 to 14 digits after its leading zeros, and all but its last four digits must not exceed 4294967295</source>
        <translation>EAN musí mít bez úvodních nul 5 až 14 číslic a číslo bez posledních čtyř číslic nesmí přesáhnout 4294967295</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>a weight with its correction is outside 0 to 65535 g</source>
        <translation>hmotnost s korekcí je mimo rozsah 0 až 65535 g</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>the volume is outside 0 to 65535 ml</source>
        <translation>objem je mimo rozsah 0 až 65535 ml</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>... and %1 more rows</source>
        <translation>... a dalších %1 řádků</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>row %1, EAN &quot;%2&quot;: %3</source>
        <translation>řádek %1, EAN &quot;%2&quot;: %3</translation>
    </message>
</context>
<context>
    <name>StationSession</name>
    <message>
        <location filename="../count/stationsession.cpp" line="+117"/>
        <source>Quarmel must be connected to download database.</source>
        <translation>Pro stažení databáze musí být Quarmel připojen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Quarmel must be connected to write database.</source>
        <translation>Pro zápis databáze musí být Quarmel připojen.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Quarmel must be connected to download inventory.</source>
        <translation>Pro stažení inventury musí být Quarmel připojen.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Timeout Error, Quarmel not connected?</source>
        <translation>Vypršel časový limit. Je Quarmel připojen?</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Quarmel holds no stored inventory yet (it reports number %1). Take an inventory on Quarmel first.</source>
        <translation>Quarmel zatím nemá uloženou žádnou inventuru (hlásí číslo %1). Nejprve na Quarmelu proveďte inventuru.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The station is connected at %1, but this user may not open it. Unplug the station and plug it in again, so that the device rule installed with Quarmel Inventory gives you access. If that does not help, ask the administrator to add you to the group &quot;dialout&quot;, then log out and in again.</source>
        <translation>Stanice je připojena na %1, ale tento uživatel ji nesmí otevřít. Odpojte stanici a znovu ji připojte, aby vám přístup dalo pravidlo zařízení nainstalované s programem Quarmel Inventory. Pokud to nepomůže, požádejte správce, aby vás přidal do skupiny &quot;dialout&quot;, a pak se odhlaste a znovu přihlaste.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The station at %1 is locked by a program that has ended, and this user may not remove its lock file %2. Unplug the station and plug it in again, or ask the administrator to delete the file.</source>
        <translation>Stanici na %1 zamkl program, který už skončil, a tento uživatel nesmí odstranit jeho zámkový soubor %2. Odpojte stanici a znovu ji připojte, nebo požádejte správce, aby soubor smazal.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The station at %1 is in use by another program (%2). Wait until it is done, or close it, and try again.</source>
        <translation>Stanici na %1 používá jiný program (%2). Počkejte, až skončí, nebo ho zavřete, a zkuste to znovu.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The station at %1 is in use by another program. Wait until it is done, or close it, and try again.</source>
        <translation>Stanici na %1 používá jiný program. Počkejte, až skončí, nebo ho zavřete, a zkuste to znovu.</translation>
    </message>
</context>
<context>
    <name>StockFill</name>
    <message>
        <location filename="../count/storeledger.cpp" line="+311"/>
        <source>Rows of From Stock filled from the store&apos;s issues: %1.</source>
        <translation>Řádků Fasování vyplněných z výdejů skladu: %1.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Typed values kept: %1.</source>
        <translation>Ponechaných zapsaných hodnot: %1.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Issued without a row in the table: %1.</source>
        <translation>Vydáno bez řádku v tabulce: %1.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No bottle volume for: %1.</source>
        <translation>Chybí objem láhve: %1.</translation>
    </message>
</context>
<context>
    <name>Store</name>
    <message>
        <location filename="../store/store.cpp" line="+187"/>
        <source>The store&apos;s address is no postgresql:// URI.</source>
        <translation>Adresa úložiště není URI postgresql://.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The store&apos;s address has no valid port.</source>
        <translation>Adresa úložiště nemá platný port.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The store&apos;s address names no database (postgresql://user@host/DATABASE).</source>
        <translation>Adresa úložiště neuvádí databázi (postgresql://uživatel@server/DATABÁZE).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The store&apos;s address names no login (postgresql://LOGIN@host/database).</source>
        <translation>Adresa úložiště neuvádí přihlášení (postgresql://PŘIHLÁŠENÍ@server/databáze).</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The store&apos;s address has an unknown parameter &quot;%1&quot;.</source>
        <translation>Adresa úložiště má neznámý parametr &quot;%1&quot;.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The store&apos;s address has an unusable value for &quot;%1&quot;.</source>
        <translation>Adresa úložiště má nepoužitelnou hodnotu parametru &quot;%1&quot;.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>No store is set up: QUARMEL_DB holds no address.</source>
        <translation>Žádné úložiště není nastaveno: QUARMEL_DB neobsahuje adresu.</translation>
    </message>
    <message>
        <location line="+77"/>
        <source>Reading the store&apos;s version</source>
        <translation>Čtení verze úložiště</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The store was made by a newer version of the program (schema %1, this one knows %2): update the program.</source>
        <translation>Úložiště vytvořila novější verze programu (schéma %1, tato zná %2): aktualizujte program.</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+2"/>
        <source>Migrating the store</source>
        <translation>Převod úložiště</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The store is not set up for this version of the program yet; only the owner&apos;s login can set it up: run quarmelctl sync once with it (%1).</source>
        <translation>Úložiště ještě není nastaveno pro tuto verzi programu; nastavit ho může jen přihlášení majitele: spusťte s ním jednou quarmelctl sync (%1).</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>The PostgreSQL driver of Qt SQL is not installed (Debian: libqt6sql6-psql or libqt5sql5-psql).</source>
        <translation>Ovladač PostgreSQL pro Qt SQL není nainstalován (Debian: libqt6sql6-psql nebo libqt5sql5-psql).</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>%1: this is a superuser login; the program works with the owner&apos;s login or a bar&apos;s login only.</source>
        <translation>%1: toto je přihlášení superuživatele; program pracuje jen s přihlášením majitele nebo baru.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>%1: the login %2 belongs to no bar; the owner gives it one (see docs/server.md).</source>
        <translation>%1: přihlášení %2 nepatří k žádnému baru; bar mu přidělí majitel (viz docs/server.md).</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>A bar&apos;s name is 1 to 64 printable characters, without spaces at either end.</source>
        <translation>Název baru má 1 až 64 tisknutelných znaků, bez mezer na začátku a na konci.</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>%1 names no valid bar.</source>
        <translation>%1 neuvádí platný bar.</translation>
    </message>
    <message>
        <location line="+25"/>
        <location line="+673"/>
        <source>This data folder belongs to the bar &quot;%1&quot;, not &quot;%2&quot;.</source>
        <translation>Tato datová složka patří baru &quot;%1&quot;, ne &quot;%2&quot;.</translation>
    </message>
    <message>
        <location line="-606"/>
        <source>(deleted)</source>
        <translation>(smazáno)</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1: %2 ml, full %3 g, empty %4 g, correction %5 g%6</source>
        <translation>%1: %2 ml, plná %3 g, prázdná %4 g, korekce %5 g%6</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>, counted</source>
        <translation>, počítá se</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>the catalogue is damaged (%1)</source>
        <translation>katalog je poškozený (%1)</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>the store&apos;s catalogue row %1 cannot be read</source>
        <translation>řádek katalogu %1 z úložiště nelze přečíst</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>the store&apos;s cost of %1 cannot be read</source>
        <translation>cenu %1 z úložiště nelze přečíst</translation>
    </message>
    <message>
        <location line="+137"/>
        <location line="+67"/>
        <source>Listing the store&apos;s counts</source>
        <translation>Výpis inventur úložiště</translation>
    </message>
    <message>
        <location line="-14"/>
        <source>Sending the count %1</source>
        <translation>Odeslání inventury %1</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Fetching a count</source>
        <translation>Stažení inventury</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The history cannot keep a count of the store: %1</source>
        <translation>Historie nemůže uložit inventuru z úložiště: %1</translation>
    </message>
    <message>
        <location line="+25"/>
        <location line="+11"/>
        <location line="+5"/>
        <source>Comparing the rows</source>
        <translation>Porovnání řádků</translation>
    </message>
    <message>
        <location line="+79"/>
        <location line="+8"/>
        <location line="+15"/>
        <source>Sending the rows</source>
        <translation>Odeslání řádků</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>The %1 rows of the store could not be written: %2</source>
        <translation>Řádky %1 z úložiště nelze zapsat: %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The state of the sync could not be kept: %1</source>
        <translation>Stav synchronizace nelze uložit: %1</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+6"/>
        <location line="+6"/>
        <location line="+17"/>
        <location line="+7"/>
        <source>Reserving table numbers</source>
        <translation>Rezervace čísel tabulek</translation>
    </message>
    <message>
        <location line="-17"/>
        <source>The bar&apos;s table numbers are used up.</source>
        <translation>Čísla tabulek baru jsou vyčerpána.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>The reserved table numbers could not be kept: %1</source>
        <translation>Rezervovaná čísla tabulek nelze uložit: %1</translation>
    </message>
    <message>
        <location line="+17"/>
        <location line="+111"/>
        <location line="+71"/>
        <source>The store is not connected.</source>
        <translation>Úložiště není připojeno.</translation>
    </message>
    <message>
        <location line="-169"/>
        <source>This data folder belongs to no bar yet.</source>
        <translation>Tato datová složka zatím nepatří žádnému baru.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>The login %1 belongs to the bar &quot;%2&quot;, this data folder to &quot;%3&quot;.</source>
        <translation>Přihlášení %1 patří baru &quot;%2&quot;, tato datová složka baru &quot;%3&quot;.</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Registering this machine</source>
        <translation>Registrace tohoto počítače</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reading the store</source>
        <translation>Čtení úložiště</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Rows changed here and in the store differently: %1.</source>
        <translation>Řádky změněné zde i v úložišti jinak: %1.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>sent count %1</source>
        <translation>odeslána inventura %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>fetched count %1</source>
        <translation>stažena inventura %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>not sent, not a table: %1</source>
        <translation>neodesláno, není to tabulka: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>sent %1 rows: %2</source>
        <translation>odeslané řádky %1: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>taken %1 rows: %2</source>
        <translation>převzaté řádky %1: %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>conflict, %1 %2: here &quot;%3&quot;, in the store &quot;%4&quot; (by %5, %6)</source>
        <translation>konflikt, %1 %2: zde &quot;%3&quot;, v úložišti &quot;%4&quot; (%5, %6)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>number used twice: %1 has the number of a count saved on %2; both are kept</source>
        <translation>číslo použito dvakrát: %1 má číslo inventury uložené na %2; ponechány jsou obě</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>table numbers reserved for this folder: %1 to %2</source>
        <translation>čísla tabulek rezervovaná pro tuto složku: %1 až %2</translation>
    </message>
    <message>
        <location line="+33"/>
        <location line="+26"/>
        <source>Reading the bars&apos; counts</source>
        <translation>Čtení inventur barů</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Reading the bars&apos; costs</source>
        <translation>Čtení cen barů</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Reading the bars&apos; catalogues</source>
        <translation>Čtení databází barů</translation>
    </message>
</context>
<context>
    <name>StoreLedger</name>
    <message>
        <location filename="../count/storeledger.cpp" line="-236"/>
        <source>The file is too large to be a record of deliveries and issues.</source>
        <translation>Soubor je příliš velký na záznam dodávek a výdejů.</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Line %1: %2</source>
        <translation>Řádek %1: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the line is not UTF-8 text.</source>
        <translation>řádek není text v kódování UTF-8.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>expected date;kind;EAN;quantity;cost;supplier.</source>
        <translation>očekáváno datum;druh;EAN;množství;cena;dodavatel.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>&quot;%1&quot; is no date (year-month-day, as 2026-12-09, or with the time, as 2026-12-09T14:30).</source>
        <translation>„%1“ není datum (rok-měsíc-den, např. 2026-12-09, nebo s časem, např. 2026-12-09T14:30).</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>&quot;%1&quot; is neither delivery nor issue.</source>
        <translation>„%1“ není ani delivery (dodávka), ani issue (výdej).</translation>
    </message>
    <message>
        <location line="-115"/>
        <location line="+118"/>
        <source>no EAN or item name.</source>
        <translation>chybí EAN nebo název položky.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>quantity: %1</source>
        <translation>množství: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>cost: %1</source>
        <translation>cena: %1</translation>
    </message>
    <message>
        <location line="-128"/>
        <source>no date.</source>
        <translation>chybí datum.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>the number is more than any store holds.</source>
        <translation>číslo je větší, než pojme jakýkoli sklad.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>a delivery is of one bottle or more.</source>
        <translation>dodávka musí mít aspoň jednu láhev.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>an issue of no bottle.</source>
        <translation>výdej žádné láhve.</translation>
    </message>
</context>
<context>
    <name>StoreSync</name>
    <message>
        <location filename="../app/storesync.cpp" line="+133"/>
        <source>Server: up to date at %1.</source>
        <translation>Server: vše odesláno v %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Server: %1 counts sent, %2 fetched at %3.</source>
        <translation>Server: odesláno inventur %1, načteno %2 v %3.</translation>
    </message>
    <message>
        <location line="-12"/>
        <source>Server: name the bar this computer counts for in Settings... on the home page.</source>
        <translation>Server: zadejte bar, pro který tento počítač inventuje, v Nastavení... na úvodní stránce.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Server: %1 counts sent, %2 fetched at %3; %4 of the sent tables have a number another computer of the bar used before the two were joined (both are kept).</source>
        <translation>Server: odesláno inventur %1, načteno %2 v %3; %4 z odeslaných tabulek má číslo, které jiný počítač baru použil před jejich propojením (ponechány jsou obě).</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Server not reachable at %1: the saves are kept here and sent later.</source>
        <translation>Server v %1 nedostupný: uložené inventury zůstávají zde a odešlou se později.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Server refused the login at %1: %2</source>
        <translation>Server v %1 odmítl login: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Server: %1 rows changed here and on the server at %2; nothing was overwritten.</source>
        <translation>Server: %1 řádků změněno zde i na serveru (%2); nic nebylo přepsáno.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Server sync failed at %1: %2</source>
        <translation>Synchronizace se serverem v %1 selhala: %2</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Catalogue row %1</source>
        <translation>Řádek katalogu %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Till match of %1</source>
        <translation>Přiřazení pokladny pro %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cost of %1</source>
        <translation>Nákupní cena %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>(deleted)</source>
        <translation>(smazáno)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 was changed on this computer and on the server.

This computer: %2
Server (%3, %4): %5</source>
        <translation>%1 se změnil na tomto počítači i na serveru.

Tento počítač: %2
Server (%3, %4): %5</translation>
    </message>
</context>
<context>
    <name>TableFile</name>
    <message>
        <location filename="../count/tablefile.cpp" line="+138"/>
        <source>The last saved table %1 cannot be read: %2

Nothing is carried over from it, so every initial quantity is zero. This is not the first count: make the file readable and open the sales table again, or use Import Table.</source>
        <translation>Poslední uloženou tabulku %1 nelze přečíst: %2

Nic se z ní nepřenese, proto jsou všechny počáteční stavy nulové. Nejde o první inventuru: zpřístupněte soubor pro čtení a otevřete tabulku tržby znovu, nebo použijte Import tabulky.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>The last saved table %1 is damaged: %2

Carried over from it: the sell units and prices of the %3 rows and %4 appended items before the damage. Every initial quantity is zero; use Import Table to take them from a saved table file.</source>
        <translation>Poslední uložená tabulka %1 je poškozená: %2

Přeneseno z ní: prodejní jednotky a ceny %3 položek a %4 přidaných položek před poškozením. Všechny počáteční stavy jsou nulové; načtěte je Importem tabulky z uloženého souboru tabulky.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Its table number was lost; the next save is numbered above every table in the history.</source>
        <translation>Její číslo tabulky se ztratilo; další uložení dostane číslo vyšší než všechny tabulky v historii.</translation>
    </message>
    <message>
        <location line="+138"/>
        <source>The save of table No. %1 was cut off before anything of it was kept: that table is not saved. The next count starts from the table saved before it.</source>
        <translation>Ukládání tabulky č. %1 bylo přerušeno dřív, než se z ní cokoli uchovalo: tato tabulka uložena není. Další inventura začne od tabulky uložené před ní.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>The save of table No. %1 was cut off, and the copy %2 that the next count starts from could not be completed from the history: %3</source>
        <translation>Ukládání tabulky č. %1 bylo přerušeno a kopii %2, od níž začne další inventura, nešlo doplnit z historie: %3</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The save of table No. %1 was cut off. The copy that the next count starts from was completed from the history (%2); check that the file you saved the table to holds table No. %1 as well.</source>
        <translation>Ukládání tabulky č. %1 bylo přerušeno. Kopie, od níž začne další inventura, byla doplněna z historie (%2); zkontrolujte, že i soubor, do kterého jste tabulku ukládali, obsahuje tabulku č. %1.</translation>
    </message>
</context>
<context>
    <name>TillColumns</name>
    <message>
        <location filename="../count/tillexport.cpp" line="+593"/>
        <source>&quot;%1&quot; names no column role (name, code, quantity, unit, amount)</source>
        <translation>„%1“ neurčuje roli sloupce (name, code, quantity, unit, amount)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>column %1 does not exist; the header has %2 columns</source>
        <translation>sloupec %1 neexistuje; záhlaví má %2 sloupců</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>no column is headed &quot;%1&quot;</source>
        <translation>žádný sloupec nemá záhlaví „%1“</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the columns need an amount, a name or a code, and a different column for each</source>
        <translation>sloupce musí obsahovat částku a název nebo kód, každý v jiném sloupci</translation>
    </message>
</context>
<context>
    <name>TillColumnsDialog</name>
    <message>
        <location filename="../app/tillcolumnsdialog.cpp" line="+30"/>
        <source>Till Export Columns</source>
        <translation>Sloupce exportu z pokladny</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Check which columns of the till export hold the product and the money taken. The amount is what the till took: after discounts, voids and refunds, with VAT.</source>
        <translation>Zkontrolujte, ve kterých sloupcích exportu z pokladny je zboží a utržené peníze. Částka je to, co pokladna utržila: po slevách, stornech a vratkách, s DPH.</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Product &amp;name:</source>
        <translation>&amp;Název zboží:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Product &amp;code (EAN, PLU):</source>
        <translation>&amp;Kód zboží (EAN, PLU):</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>&amp;Quantity:</source>
        <translation>&amp;Množství:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>&amp;Unit or portion:</source>
        <translation>&amp;Jednotka nebo porce:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Amount taken:</source>
        <translation>&amp;Utržená částka:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>(none)</source>
        <translation>(žádný)</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Import</source>
        <translation>Importovat</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Choose the column of the amount and one of the product&apos;s name or code, each a different column.</source>
        <translation>Vyberte sloupec částky a sloupec s názvem nebo kódem zboží, každý jiný.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Till total: %1 %2 (products: %3)</source>
        <translation>Tržba pokladny: %1 %2 (položek: %3)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Lines not understood: %1; the first: %2</source>
        <translation>Nesrozumitelné řádky: %1; první z nich: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Totals and summary lines of the till, not counted: %1</source>
        <translation>Součtové a souhrnné řádky pokladny, nezapočtené: %1</translation>
    </message>
</context>
<context>
    <name>TillExport</name>
    <message>
        <location filename="../count/tillexport.cpp" line="-147"/>
        <source>&quot;%1&quot; may be %2 or %3, and the other amounts of its column do not tell</source>
        <translation>„%1“ může být %2 i %3 a ostatní částky ve sloupci to nerozhodnou</translation>
    </message>
    <message>
        <location line="+169"/>
        <location line="+6"/>
        <source>The file is too large for a till export (more than 16 MiB).</source>
        <translation>Soubor je na export z pokladny příliš velký (více než 16 MiB).</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>The file holds zero bytes: it is not text (read as %1), nor an .xlsx workbook. Save the report from the till as CSV.</source>
        <translation>Soubor obsahuje nulové bajty: není to text (čteno jako %1) ani sešit .xlsx. Uložte sestavu z pokladny jako CSV.</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>No line of the file names the columns for the product and the amount (the text was read as %1).</source>
        <translation>Žádný řádek souboru nepojmenovává sloupce zboží a částky (text byl čten jako %1).</translation>
    </message>
    <message>
        <location line="+239"/>
        <source>No column holds the amounts of money taken, or none names the products.</source>
        <translation>Žádný sloupec neobsahuje utržené částky, nebo žádný nepojmenovává zboží.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>line %1: %2 fields where the columns need %3: %4</source>
        <translation>řádek %1: %2 polí, sloupce jich potřebují %3: %4</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>line %1: a total, not a product: %2</source>
        <translation>řádek %1: součet, ne zboží: %2</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>no amount</source>
        <translation>chybí částka</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;%1&quot; is not an amount</source>
        <translation>„%1“ není částka</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+8"/>
        <source>line %1: %2: %3</source>
        <translation>řádek %1: %2: %3</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>no quantity</source>
        <translation>chybí množství</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>&quot;%1&quot; is not a quantity</source>
        <translation>„%1“ není množství</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>line %1: names no product, a summary: %2</source>
        <translation>řádek %1: neuvádí zboží, je to souhrn: %2</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>line %1: the sum of the lines above it, not a product: %2</source>
        <translation>řádek %1: součet řádků nad ním, ne zboží: %2</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>line %1: the product&apos;s sum grows too large: %2</source>
        <translation>řádek %1: součet za zboží je příliš velký: %2</translation>
    </message>
</context>
<context>
    <name>TillPanel</name>
    <message>
        <location filename="../app/tillpanel.cpp" line="+41"/>
        <source>from the till&apos;s report</source>
        <translation>z uzávěrky pokladny</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+161"/>
        <location line="+26"/>
        <location line="+24"/>
        <source>Import Till Export</source>
        <translation>Načíst export pokladny</translation>
    </message>
    <message>
        <location line="-206"/>
        <location line="+488"/>
        <source>Change Match...</source>
        <translation>Změnit přiřazení...</translation>
    </message>
    <message>
        <location line="-487"/>
        <source>Point the selected till product or row at another row of the table</source>
        <translation>Přiřadit vybranou položku pokladny nebo řádek jinému řádku tabulky</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Columns...</source>
        <translation>Sloupce...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Choose again which columns of the imported till export are read</source>
        <translation>Znovu vybrat, které sloupce importovaného exportu z pokladny se čtou</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Till takings:</source>
        <translation>Tržba pokladny:</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Till products not matched:</source>
        <translation>Nepřiřazené položky pokladny:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Sold but not in the till:</source>
        <translation>Prodáno, ale není v pokladně:</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>No till figures yet</source>
        <translation>Zatím bez údajů z pokladny</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1: %2 %3</source>
        <translation>%1: %2 %3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: %2 sold, %3 %4</source>
        <translation>%1: prodáno %2, %3 %4</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Till takings</source>
        <translation>Tržba pokladny</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;%1&quot; is not an amount.</source>
        <translation>„%1“ není částka.</translation>
    </message>
    <message>
        <location line="+233"/>
        <source>Recipe: portions of several rows...</source>
        <translation>Receptura: porce z několika řádků...</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Done</source>
        <translation>Hotovo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>nothing yet</source>
        <translation>zatím nic</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+15"/>
        <source>Recipe</source>
        <translation>Receptura</translation>
    </message>
    <message>
        <location line="-14"/>
        <source>A row that one &quot;%1&quot; pours from (so far: %2):</source>
        <translation>Řádek, ze kterého se nalévá jedna položka „%1“ (zatím: %2):</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Millilitres of %1 in one &quot;%2&quot;:</source>
        <translation>Mililitry z %1 v jedné položce „%2“:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pieces of %1 in one &quot;%2&quot;:</source>
        <translation>Kusy z %1 v jedné položce „%2“:</translation>
    </message>
    <message>
        <location line="-253"/>
        <location line="+52"/>
        <source>Unable to import till export</source>
        <translation>Export pokladny nelze načíst</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>... and %1 more</source>
        <translation>... a dalších %1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Till export</source>
        <translation>Export pokladny</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>These lines were not understood and are not counted:
%1</source>
        <translation>Tyto řádky nebyly rozpoznány a nezapočítávají se:
%1</translation>
    </message>
    <message>
        <location line="-86"/>
        <source>Till exports (*.csv *.txt *.xlsx)</source>
        <translation>Exporty z pokladny (*.csv *.txt *.xlsx)</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+24"/>
        <source>The columns apply now but could not be kept for the next import: %1</source>
        <translation>Sloupce platí nyní, ale pro další import je nebylo možné uložit: %1</translation>
    </message>
    <message>
        <location line="+106"/>
        <source>no row</source>
        <translation>žádný řádek</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>%1 (appended item)</source>
        <translation>%1 (přidaná položka)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>a row this count does not have</source>
        <translation>řádek, který tato inventura nemá</translation>
    </message>
    <message>
        <location line="-102"/>
        <source>Read from %1 (%2) with the columns %3</source>
        <translation>Načteno z %1 (%2) se sloupci %3</translation>
    </message>
    <message>
        <location line="+109"/>
        <source>%1 - now: %2</source>
        <translation>%1 - nyní: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+41"/>
        <location line="+55"/>
        <location line="+70"/>
        <source>Change Match</source>
        <translation>Změnit přiřazení</translation>
    </message>
    <message>
        <location line="-261"/>
        <source>These lines are the till&apos;s own totals and summaries, not counted:
%1</source>
        <translation>Tyto řádky jsou vlastní součty a souhrny pokladny, nezapočítávají se:
%1</translation>
    </message>
    <message>
        <location line="+200"/>
        <source>Which till product?</source>
        <translation>Která položka pokladny?</translation>
    </message>
    <message>
        <location line="-72"/>
        <source>Automatic: %1</source>
        <translation>Automaticky: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>No row: never match it</source>
        <translation>Žádný řádek: nikdy nepřiřazovat</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Row of the table for the till product &quot;%1&quot;:</source>
        <translation>Řádek tabulky pro položku pokladny „%1“:</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>Import the till&apos;s export first.</source>
        <translation>Nejprve načtěte export z pokladny.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Till product that sold &quot;%1&quot;:</source>
        <translation>Položka pokladny, která prodala „%1“:</translation>
    </message>
    <message>
        <location line="-126"/>
        <source>%1 ml of %2</source>
        <translation>%1 ml z %2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 pieces of %2</source>
        <translation>%1 ks z %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>recipe: %1</source>
        <translation>receptura: %1</translation>
    </message>
    <message>
        <location line="+170"/>
        <source>Back to Automatic Match</source>
        <translation>Zpět na automatické přiřazení</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>The match applies now but could not be kept for the next counts: %1</source>
        <translation>Přiřazení nyní platí, ale nepodařilo se je uložit pro další inventury: %1</translation>
    </message>
</context>
<context>
    <name>TillVarianceModel</name>
    <message>
        <location filename="../count/tillvariancemodel.cpp" line="+51"/>
        <source>Till products not matched:</source>
        <translation>Nepřiřazené položky pokladny:</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Sold but not in the till:</source>
        <translation>Prodáno, ale není v pokladně:</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Matched Items</source>
        <translation>Přiřazené položky</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>EAN</source>
        <translation>EAN</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Expected</source>
        <translation>Očekáváno</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Till</source>
        <translation>Pokladna</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Variance</source>
        <translation>Rozdíl</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Variance
[sell units]</source>
        <translation>Rozdíl
[prodejní jednotky]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Variance
[%]</source>
        <translation>Rozdíl
[%]</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Expected %1 %4, till %2 %4, variance %3 %4</source>
        <translation>Očekáváno %1 %4, pokladna %2 %4, rozdíl %3 %4</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Expected %1 %4, till %2 %4, variance %3 %4 (%5 %)</source>
        <translation>Očekáváno %1 %4, pokladna %2 %4, rozdíl %3 %4 (%5 %)</translation>
    </message>
</context>
<context>
    <name>Workbook</name>
    <message>
        <location filename="../count/workbook.cpp" line="+252"/>
        <source>The workbook could not be created.</source>
        <translation>Sešit se nepodařilo vytvořit.</translation>
    </message>
    <message>
        <location line="+27"/>
        <location line="+4"/>
        <location line="+25"/>
        <source>Till</source>
        <translation>Pokladna</translation>
    </message>
    <message>
        <location line="-25"/>
        <location line="+96"/>
        <location line="+46"/>
        <location line="+126"/>
        <source>Item</source>
        <translation>Položka</translation>
    </message>
    <message>
        <location line="-268"/>
        <location line="+96"/>
        <location line="+46"/>
        <location line="+32"/>
        <location line="+94"/>
        <source>EAN</source>
        <translation>EAN</translation>
    </message>
    <message>
        <location line="-268"/>
        <source>Expected</source>
        <translation>Očekáváno</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Variance</source>
        <translation>Rozdíl</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Variance [sell units]</source>
        <translation>Rozdíl [prodejní jednotky]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Variance [%]</source>
        <translation>Rozdíl [%]</translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+339"/>
        <location line="+45"/>
        <source>Total</source>
        <translation>Celkem</translation>
    </message>
    <message>
        <location line="-376"/>
        <source>Till products not matched</source>
        <translation>Nepřiřazené položky pokladny</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Code</source>
        <translation>Kód</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Sold but not in the till</source>
        <translation>Prodáno, ale není v pokladně</translation>
    </message>
    <message>
        <location line="+131"/>
        <location line="+83"/>
        <source>Sales</source>
        <translation>Prodej</translation>
    </message>
    <message>
        <location line="-158"/>
        <source>Costs</source>
        <translation>Náklady</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+24"/>
        <source>Cost of Goods Sold</source>
        <translation>Náklady na prodané zboží</translation>
    </message>
    <message>
        <location line="-24"/>
        <source>Cash In</source>
        <translation>Tržba</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+26"/>
        <location line="+196"/>
        <location line="+140"/>
        <location line="+66"/>
        <source>Pour Cost</source>
        <translation>Nákladovost</translation>
    </message>
    <message>
        <location line="-427"/>
        <location line="+29"/>
        <source>Stock Value at Cost</source>
        <translation>Hodnota zásob v nákupních cenách</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>no cost</source>
        <translation>bez ceny</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>No Cost For</source>
        <translation>Chybí nákupní cena</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Order</source>
        <translation>Objednávka</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>On Hand [bottles]</source>
        <translation>Na skladě [láhve]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Par [bottles]</source>
        <translation>Cílový stav [láhve]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Order [bottles]</source>
        <translation>Objednat [láhve]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Supplier</source>
        <translation>Dodavatel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cost</source>
        <translation>Cena</translation>
    </message>
    <message>
        <location line="+91"/>
        <location line="+79"/>
        <source>Alcohol Sales</source>
        <translation>Tržba za alkohol</translation>
    </message>
    <message>
        <location line="-75"/>
        <source>Appended Item Sales</source>
        <translation>Tržba za přidané položky</translation>
    </message>
    <message>
        <location line="+80"/>
        <source>Cost of Goods</source>
        <translation>Náklady na zboží</translation>
    </message>
    <message>
        <location line="+199"/>
        <source>All Bars</source>
        <translation>Všechny bary</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Bar</source>
        <translation>Bar</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+42"/>
        <source>Month</source>
        <translation>Měsíc</translation>
    </message>
    <message>
        <location line="-42"/>
        <source>Counts</source>
        <translation>Inventury</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>mixed</source>
        <translation>různé</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>%1: total sales per month</source>
        <translation>%1: celková tržba za měsíc</translation>
    </message>
    <message>
        <location line="-422"/>
        <source>Order Cost</source>
        <translation>Cena objednávky</translation>
    </message>
    <message>
        <location line="+89"/>
        <location line="+69"/>
        <location line="+108"/>
        <location line="+1"/>
        <location line="+101"/>
        <location line="+42"/>
        <source>Total Sales</source>
        <translation>Celková tržba</translation>
    </message>
    <message>
        <location line="-300"/>
        <source>Overview</source>
        <translation>Přehled</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Residue</source>
        <translation>Zbytek</translation>
    </message>
    <message>
        <location line="+216"/>
        <source>Bottle Variance</source>
        <translation>Rozdíl láhve</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: Till Variance</source>
        <translation>%1: rozdíl proti pokladně</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: Till Variance [%2]</source>
        <translation>%1: rozdíl proti pokladně [%2]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bottle Variance Units</source>
        <translation>Rozdíl láhve v jednotkách</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: Till Variance [sell units]</source>
        <translation>%1: rozdíl proti pokladně [prodejní jednotky]</translation>
    </message>
    <message>
        <location line="-419"/>
        <location line="+242"/>
        <source>To</source>
        <translation>Do</translation>
    </message>
    <message>
        <location line="-11"/>
        <source>History</source>
        <translation>Historie</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Table</source>
        <translation>Tabulka</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>From</source>
        <translation>Od</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Other Items</source>
        <translation>Ostatní položky</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+209"/>
        <source>Currency</source>
        <translation>Měna</translation>
    </message>
    <message>
        <location line="-209"/>
        <location line="+126"/>
        <location line="+1"/>
        <location line="+82"/>
        <source>Till Variance</source>
        <translation>Rozdíl proti pokladně</translation>
    </message>
    <message>
        <location line="-209"/>
        <location line="+129"/>
        <source>Till Variance [sell units]</source>
        <translation>Rozdíl proti pokladně [prodejní jednotky]</translation>
    </message>
    <message>
        <location line="-21"/>
        <source>Total Sales [%1]</source>
        <translation>Celková tržba [%1]</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Till Variance [%1]</source>
        <translation>Rozdíl proti pokladně [%1]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Till Variance Units</source>
        <translation>Rozdíl v jednotkách</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Bottle</source>
        <translation>Láhev</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1: Sold Quantity [L]</source>
        <translation>%1: Prodané množství [L]</translation>
    </message>
</context>
<context>
    <name>XlsxSheet</name>
    <message>
        <location filename="../count/xlsxsheet.cpp" line="+159"/>
        <source>The file looks like an .xlsx workbook but cannot be opened as one.</source>
        <translation>Soubor vypadá jako sešit .xlsx, ale nelze ho jako sešit otevřít.</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>The workbook has no sheet.</source>
        <translation>Sešit nemá žádný list.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The first sheet of the workbook is damaged or larger than 16 MiB.</source>
        <translation>První list sešitu je poškozený nebo větší než 16 MiB.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The texts of the workbook are damaged or larger than 16 MiB.</source>
        <translation>Texty sešitu jsou poškozené nebo větší než 16 MiB.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>A cell of the sheet has a damaged reference: %1</source>
        <translation>Buňka listu má poškozený odkaz: %1</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>The first sheet of the workbook is damaged: %1</source>
        <translation>První list sešitu je poškozený: %1</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../app/main.cpp" line="+82"/>
        <source>Stock-taking and takings of a bar with a Quarmel weighing station.</source>
        <translation>Inventura baru a výpočet tržby s váhou Quarmel.</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Quarmel is already running</source>
        <translation>Quarmel už běží</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1

Only one program at a time may work with the data folder, so that neither undoes what the other saves. Close the other program first, then start Quarmel again.</source>
        <translation>%1

S datovou složkou smí pracovat vždy jen jeden program, aby jeden nepřepsal, co uložil druhý. Nejprve zavřete druhý program a potom spusťte Quarmel znovu.</translation>
    </message>
</context>
</TS>
