/* Harbour DBFCDX maker of a table whose tags have keys of varying length (run by run.sh): NAZW
 * C20, NR C5, DATA D, and the structural tags TRIM (TRIM(NAZW)+NR), ALLTRIM (ALLTRIM(NAZW)+NR),
 * DATA (DTOC(DATA)) and ZLOZONY (TRIM(NR)+DTOC(DATA)), made with the date format dd.mm.yyyy
 * (CENTURY ON) or dd.mm.yy (OFF). Harbour takes a key's length from the blank record, where a
 * lone TRIM(NAZW) has none: each TRIM is followed by a field.
 *    hvary TABLE CENTURY(ON|OFF)
 */
#include "set.ch"

REQUEST DBFCDX, TRIM, ALLTRIM, DTOC

PROCEDURE Main( cTable, cCentury )
   LOCAL i, aNames := { "  Kowalska", "Nowak", "Wisniewski Jan", "Lis  ", "Zajac", "  Bak  " }

   rddSetDefault( "DBFCDX" )
   Set( _SET_DATEFORMAT, iif( Upper( cCentury ) == "ON", "dd.mm.yyyy", "dd.mm.yy" ) )
   dbCreate( cTable, { { "NAZW", "C", 20, 0 }, { "NR", "C", 5, 0 }, { "DATA", "D", 8, 0 } } )
   USE ( cTable ) EXCLUSIVE NEW
   FOR i := 1 TO Len( aNames )
      APPEND BLANK
      FIELD->NAZW := aNames[ i ]
      FIELD->NR := hb_ntos( 10 - i )
      FIELD->DATA := hb_SToD( "20261201" ) + 7 * i
   NEXT
   ordCreate( , "TRIM", "TRIM(NAZW)+NR" )
   ordCreate( , "ALLTRIM", "ALLTRIM(NAZW)+NR" )
   ordCreate( , "DATA", "DTOC(DATA)" )
   ordCreate( , "ZLOZONY", "TRIM(NR)+DTOC(DATA)" )
   dbCloseAll()
RETURN
