# The test files of each test program. A new test file is added to its program's list here.

set(core_test_files
    core/BackupTest.cpp
    core/BandingCodeTest.cpp
    core/CachedStatementTest.cpp
    core/CommandLineTest.cpp
    core/CsvReaderTest.cpp
    core/CsvTest.cpp
    core/CustomListsTest.cpp
    core/DataFolderTest.cpp
    core/DialectTest.cpp
    core/EbirdExportTest.cpp
    core/EbirdImportTest.cpp
    core/EbirdRoundTripTest.cpp
    core/EbirdTagsTest.cpp
    core/ImportFuzzTest.cpp
    core/ImportMatchingTest.cpp
    core/KeyCostTest.cpp
    core/LifeListTest.cpp
    core/ListCountsTest.cpp
    core/OpenTest.cpp
    core/OtherRecordsTest.cpp
    core/OutingStoreTest.cpp
    core/OutingUpgradeTest.cpp
    core/RecordsetTest.cpp
    core/RegionsTest.cpp
    core/ReportBuilderTest.cpp
    core/ReportFormulaTest.cpp
    core/SafeFilesTest.cpp
    core/SchemaTest.cpp
    core/SeasonsTest.cpp
    core/SightingChangesTest.cpp
    core/SightingsLogTest.cpp
    core/SpeciesOnShowTest.cpp
    core/StartupTest.cpp
    core/StatusCodesTest.cpp
    core/TargetsTest.cpp
    core/TaxonomyUpdateTest.cpp)

set(fault_test_files
    faults/FaultTest.cpp)

set(browser_tests_files
    browser/BirdPageTest.cpp
    browser/FailedStoreTest.cpp
    browser/MainWindowTest.cpp
    browser/PictureTest.cpp
    browser/PlainTextTest.cpp
    browser/SeasonChartTest.cpp
    browser/SeenAndPlaceholderTest.cpp
    browser/SpeciesBoxTest.cpp
    checklists/ChecklistEditorTest.cpp
    checklists/CopiedChecklistTest.cpp
    checklists/RegionMaintenanceTest.cpp
    checklists/StatusWindowTest.cpp)

set(search_tests_files
    search/ClassSearchTest.cpp
    search/ListSearchTest.cpp
    search/NameSearchTest.cpp
    search/RegionFilterTest.cpp
    search/RegionTest.cpp
    search/WizardSampleDataTest.cpp
    search/WizardTest.cpp)

set(sightings_tests_files
    sightings/DataSafetyTest.cpp
    sightings/MyListsTest.cpp
    sightings/OutingOtherRecordsTest.cpp
    sightings/OutingWindowTest.cpp
    sightings/PlaceBoxesTest.cpp
    sightings/RecordsWindowTest.cpp
    sightings/ReportLayoutTest.cpp
    sightings/ReportTest.cpp
    sightings/SightingDatesTest.cpp
    sightings/SightingTest.cpp
    sightings/TaxonomyWindowTest.cpp)

set(ui_tests_files
    ui/CommandRegistryTest.cpp
    ui/GuardedApplicationTest.cpp
    ui/RegionListModelTest.cpp
    ui/RegionListOrderTest.cpp
    ui/RowTableModelTest.cpp)

set(info_tests_files
    info/HelpTest.cpp
    info/InfoWindowsTest.cpp
    info/ManualTest.cpp
    info/OptionsTest.cpp)

set(media_tests_files
    media/CDAudioTest.cpp
    media/CdInterpreterTest.cpp
    media/CdSongTest.cpp
    media/ImageCatalogueTest.cpp
    media/ImageDropTest.cpp
    media/SongsTest.cpp)

set(links_tests_files
    links/AddLinkTest.cpp
    links/BrowserOpenerTest.cpp
    links/LinkWindowTest.cpp
    links/WebAddressTest.cpp)

set(data_tests_files
    data/EarlierSample.cpp
    data/RegionUpgradeTest.cpp
    data/SampleDataTest.cpp
    data/TaxonomyDataTest.cpp)
