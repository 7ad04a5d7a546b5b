-- Carries out the bus operations of a kivo trace and writes the bytes read to the response
-- file. Testbench only. Two ways to the design, chosen by `epp`:
--   false: the internal bus; the address moves on by one after every data cycle, as the
--          board's CPLD moves it, so a block is one address and many data cycles;
--   true:  the parallel port's lines, one EPP cycle per record as a PC's port chip runs it
--          (a bit wait polls as kivo does on a board: four address cycles and a data read),
--          for the board-side EPP logic to turn into bus cycles.
--
-- Both files may be named pipes: every answer is flushed at once, so kivo, which waits for
-- each answer before it goes on, can steer its script by what the design returned.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;
use std.textio.all;

entity kivo_trace_bfm is
  generic (
    trace_file : string := "kivo.tst";
    out_file   : string := "kivo.out";
    -- Simulated time of one millisecond of a script's sleep: scaled down so waits stay cheap.
    ms_time    : time := 1 us;
    -- Polls of a bit wait before it gives up (the trace does not carry the script's count).
    poll_limit : natural := 2147483647;
    -- Clocks a read may be held by bus_wait before the model gives up on the design.
    wait_limit : natural := 10000000;
    epp        : boolean := false;
    -- Port side: how long the data lines settle before a strobe, and how long a cycle may go
    -- unanswered (the design may hold a read for a whole ADC acquisition).
    epp_setup   : time := 10 ns;
    epp_timeout : time := 100 ms
  );
  port (
    clk       : in  std_logic;
    bus_addr  : out std_logic_vector(31 downto 0);
    bus_wdata : out std_logic_vector(7 downto 0);
    bus_we    : out std_logic;
    bus_re    : out std_logic;
    bus_rdata : in  std_logic_vector(7 downto 0);
    bus_wait  : in  std_logic := '0';         -- the design holds a read: its byte comes later
    n_addr_strobe : out   std_logic;
    n_data_strobe : out   std_logic;
    n_write       : out   std_logic;
    epp_data      : inout std_logic_vector(7 downto 0);
    n_wait        : in    std_logic := '0';
    done      : out std_logic                 -- the trace's end mark was reached
  );
end entity;

architecture sim of kivo_trace_bfm is
  type byte_file is file of character;
begin
  process
    file trace    : byte_file open read_mode is trace_file;
    file answers  : byte_file open write_mode is out_file;
    variable offset    : natural := 0;        -- of the next trace byte
    variable address   : unsigned(31 downto 0) := (others => '0');
    variable addr_byte : natural range 0 to 3 := 0;
    variable code      : natural;
    variable start     : natural;
    variable operand   : natural;
    variable data      : std_logic_vector(7 downto 0);
    variable bytes     : std_logic_vector(47 downto 0);
    variable expected  : std_logic;
    variable mask      : std_logic_vector(7 downto 0);
    variable polls     : natural;
    variable found     : boolean;
    variable c         : character;

    function hex(v : std_logic_vector) return string is
    begin
      return to_hstring(v);
    end function;

    procedure stop_bad(text : string) is
    begin
      report "kivo.tst, byte offset " & integer'image(start) & ": " & text severity failure;
      wait;
    end procedure;

    -- The next trace byte; a record cut short stops the simulation with its offset.
    procedure next_byte(variable value : out natural; what : string) is
    begin
      if endfile(trace) then
        stop_bad(what & " cut short at the end of the trace (" & integer'image(offset) & " bytes)");
      end if;
      read(trace, c);
      value := character'pos(c);
      offset := offset + 1;
    end procedure;

    procedure data_cycle_done is
    begin
      address := address + 1;
      addr_byte := 0;
    end procedure;

    -- One EPP cycle: strobe, wait for nWait high, take the data of a read, release, wait for
    -- nWait low.
    procedure epp_cycle(address_cycle, writing : boolean; value : std_logic_vector(7 downto 0);
                        variable answer : out std_logic_vector(7 downto 0)) is
    begin
      if writing then
        n_write <= '0';
        epp_data <= value;
      else
        n_write <= '1';
        epp_data <= (others => 'Z');
      end if;
      wait for epp_setup;
      if address_cycle then
        n_addr_strobe <= '0';
      else
        n_data_strobe <= '0';
      end if;
      if n_wait /= '1' then
        wait until n_wait = '1' for epp_timeout;
      end if;
      if n_wait /= '1' then
        stop_bad("no answer on nWait to an EPP cycle in " & time'image(epp_timeout));
      end if;
      -- The data lines follow nWait: a port chip takes them a little later, at the release.
      wait for epp_setup;
      answer := to_X01(epp_data);
      n_addr_strobe <= '1';
      n_data_strobe <= '1';
      if n_wait /= '0' then
        wait until n_wait = '0' for epp_timeout;
      end if;
      if n_wait /= '0' then
        stop_bad("nWait stays high after an EPP cycle for " & time'image(epp_timeout));
      end if;
      n_write <= '1';
      epp_data <= (others => 'Z');
    end procedure;

    procedure address_cycle(value : std_logic_vector(7 downto 0)) is
      variable ignored : std_logic_vector(7 downto 0);
    begin
      if epp then
        epp_cycle(true, true, value, ignored);
      else
        address(8 * addr_byte + 7 downto 8 * addr_byte) := unsigned(value);
        addr_byte := (addr_byte + 1) mod 4;
      end if;
    end procedure;

    procedure write_cycle(value : std_logic_vector(7 downto 0)) is
      variable ignored : std_logic_vector(7 downto 0);
    begin
      if epp then
        epp_cycle(false, true, value, ignored);
        return;
      end if;
      bus_addr <= std_logic_vector(address);
      bus_wdata <= value;
      bus_we <= '1';
      wait until rising_edge(clk);
      bus_we <= '0';
      data_cycle_done;
    end procedure;

    procedure read_cycle(variable value : out std_logic_vector(7 downto 0)) is
    begin
      if epp then
        epp_cycle(false, false, x"00", value);
        return;
      end if;
      bus_addr <= std_logic_vector(address);
      bus_re <= '1';
      wait until rising_edge(clk);
      bus_re <= '0';
      for held in 0 to wait_limit loop
        wait until rising_edge(clk);
        exit when bus_wait /= '1';
        if held = wait_limit then
          stop_bad("the design held the read at " & hex(std_logic_vector(address)) & " for "
                   & integer'image(wait_limit) & " clocks");
        end if;
      end loop;
      value := bus_rdata;
      data_cycle_done;
    end procedure;
  begin
    bus_addr <= (others => '0');
    bus_wdata <= (others => '0');
    bus_we <= '0';
    bus_re <= '0';
    n_addr_strobe <= '1';
    n_data_strobe <= '1';
    n_write <= '1';
    epp_data <= (others => 'Z');
    done <= '0';
    -- A few clocks for the design's reset to end: a write during it would be lost.
    for i in 1 to 4 loop
      wait until rising_edge(clk);
    end loop;
    loop
      start := offset;
      if endfile(trace) then
        stop_bad("the trace ends without its end mark FF FF FF FF");
      end if;
      next_byte(code, "record");
      case code is
        when 16#01# =>
          next_byte(operand, "address record");
          address_cycle(std_logic_vector(to_unsigned(operand, 8)));
        when 16#02# =>
          next_byte(operand, "write record");
          write_cycle(std_logic_vector(to_unsigned(operand, 8)));
        when 16#03# =>
          read_cycle(data);
          write(answers, character'val(to_integer(unsigned(data))));
          flush(answers);
        when 16#0A# =>
          next_byte(operand, "wait record");
          wait for operand * ms_time;
          wait until rising_edge(clk);
        when 16#0B# =>
          for i in 0 to 5 loop
            next_byte(operand, "bit wait record");
            bytes(8 * i + 7 downto 8 * i) := std_logic_vector(to_unsigned(operand, 8));
          end loop;
          if bytes(7 downto 0) /= x"00" and bytes(7 downto 0) /= x"01" then
            stop_bad("bit wait expects state " & hex(bytes(7 downto 0)) & ", not 0 or 1");
          end if;
          expected := bytes(0);
          mask := bytes(47 downto 40);
          polls := 0;
          found := false;
          while not found and polls < poll_limit loop
            for i in 1 to 4 loop
              address_cycle(bytes(8 * i + 7 downto 8 * i));
            end loop;
            read_cycle(data);
            polls := polls + 1;
            if (data and mask) /= x"00" then
              found := expected = '1';
            else
              found := expected = '0';
            end if;
          end loop;
          if not found then
            report "bit wait at " & hex(bytes(39 downto 8)) & " gave up after " & integer'image(polls)
              & " polls; kivo went on as if it had succeeded" severity warning;
          end if;
        when 16#FF# =>
          for i in 1 to 3 loop
            next_byte(operand, "end mark");
            if operand /= 16#FF# then
              stop_bad("end mark broken: FF followed by " & hex(std_logic_vector(to_unsigned(operand, 8))));
            end if;
          end loop;
          done <= '1';
          wait until rising_edge(clk);
          file_close(answers);
          std.env.finish;
          wait;
        when others =>
          stop_bad("unknown record code " & hex(std_logic_vector(to_unsigned(code, 8))));
      end case;
    end loop;
  end process;
end architecture;
