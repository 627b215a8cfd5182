# The price list and its group tree.
target_sources(molarix_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PriceListFilter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PriceListStore.cpp
)
target_sources(molarix_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TTreeMyRec.h
  ${CMAKE_CURRENT_LIST_DIR}/TTreeN_PRGRUP.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TFindN_KLPREC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Tn_klprecFiltrs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Tn_prgrup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Tn_klprecDati.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Tn_klprec.cpp
)
