/*
 * The expressions of bench/expr_bench.cpp evaluated by Harbour as compiled code blocks over the
 * fields of DBFCDX tables: the index key and the stored filter text, with an aliased field.
 * Not part of the build or of CI; for figures side by side with ours in the same minutes:
 *
 *   hbmk2 -gtcgi -q bench/harbour/expr_bench.prg -o/tmp/hb_expr_bench && /tmp/hb_expr_bench [N]
 *
 * Prints processor nanoseconds (user and system, as a busy machine disturbs them less than the
 * wall clock) per evaluation for each of five rounds of N evaluations, and their median; the
 * empty block shows what the loop and Eval() alone cost.
 */

REQUEST DBFCDX

PROCEDURE Main( cCount )

   LOCAL nCount := iif( Empty( cCount ), 2000000, Val( cCount ) )
   LOCAL cDir := hb_DirSepAdd( hb_DirTemp() ) + "hb_expr_bench_" + hb_ntos( hb_RandomInt( 1, 999999 ) )

   rddSetDefault( "DBFCDX" )
   hb_DirCreate( cDir )
   cDir := hb_DirSepAdd( cDir )

   dbCreate( cDir + "sl", { { "KOD", "C", 4, 0 } } )
   dbCreate( cDir + "main", { { "NR_PRAC", "C", 5, 0 }, { "DO", "D", 8, 0 }, { "WART", "C", 1, 0 } } )
   USE ( cDir + "sl" ) ALIAS SL NEW EXCLUSIVE
   dbAppend()
   SL->KOD := "A   "
   USE ( cDir + "main" ) ALIAS MAIN NEW EXCLUSIVE
   dbAppend()
   MAIN->NR_PRAC := "  123"
   MAIN->DO := hb_SToD( "20240131" )
   MAIN->WART := "3"

   Measure( "empty block", "NIL", nCount )
   Measure( "key", "nr_prac + DTOS(do)", nCount )
   Measure( "filter", 'right(sl->kod, 2) == "  " .and. right(wart, 1) $ "13"', nCount )

   dbCloseAll()
   AEval( hb_vfDirectory( cDir + "*" ), {| a | hb_vfErase( cDir + a[ 1 ] ) } )
   hb_DirDelete( cDir )

   RETURN

STATIC PROCEDURE Measure( cName, cText, nCount )

   LOCAL bBlock := &( "{|| " + cText + "}" )
   LOCAL aNs := {}
   LOCAL nRound, n, nStart

   FOR nRound := 1 TO 5
      nStart := hb_SecondsCPU( 3 )
      FOR n := 1 TO nCount
         Eval( bBlock )
      NEXT
      AAdd( aNs, ( hb_SecondsCPU( 3 ) - nStart ) * 1000000000 / nCount )
   NEXT
   ASort( aNs )
   OutStd( PadR( cName, 12 ) + ": median " + Str( aNs[ 3 ], 7, 1 ) + " ns, rounds" )
   AEval( aNs, {| x | OutStd( " " + hb_ntos( Round( x, 1 ) ) ) } )
   OutStd( hb_eol() )

   RETURN
