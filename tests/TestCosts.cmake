# Read by ctest once the unit tests are discovered: the costs of the longest
# of them (see TORV_E2E_COSTS in CMakeLists.txt). A name no test has is
# passed over.
set_tests_properties(ImportCorpusTest.EveryCorpusFileLoadsOrIsReported PROPERTIES COST 40)
