-- ADC controller with its acquisition memory. Registers (32-bit values big-endian):
--   0..7    write: control byte of channel 0..7 (gain switch in bits 0-5, bit 6 the 1842 mV
--           reference, else 153 mV, bit 7 the zero input); the channel written last is the
--           one acquired
--   0..3    read: words still to acquire; the read of offset 0 takes the count, so the other
--           three bytes of a poll belong to the same value
--   8..11   write: start address of the acquisition (a board address)
--   12..15  write: its length in 32-bit words; the write of offset 15 starts it
-- Other offsets read 00. Every word_clocks clocks an acquisition converts two samples and
-- stores them as big-endian 16-bit words at the next address; words outside the memory are
-- dropped.
--
-- A host read of the memory during an acquisition is held (mem_wait) until the acquisition is
-- over, so that a record read after starting one is always complete, however the host's reads
-- and the conversions interleave.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity kivo_adc_controller is
  generic (
    mem_base      : std_logic_vector(31 downto 0) := x"70010000";
    mem_addr_bits : positive := 16;
    -- At least 3. A host that toggles an input between polls of the counter needs it longer
    -- than one poll and its toggle, or the toggle lands inside a word.
    word_clocks   : positive := 64
  );
  port (
    clk         : in  std_logic;
    rst         : in  std_logic;
    reg_sel     : in  std_logic;
    mem_sel     : in  std_logic;
    addr        : in  std_logic_vector(31 downto 0);
    we          : in  std_logic;
    re          : in  std_logic;
    wdata       : in  std_logic_vector(7 downto 0);
    reg_rdata   : out std_logic_vector(7 downto 0);
    mem_rdata   : out std_logic_vector(7 downto 0);
    mem_wait    : out std_logic;
    -- To the converter and its input stage.
    adc_channel : out std_logic_vector(2 downto 0);
    adc_control : out std_logic_vector(7 downto 0);
    adc_restart : out std_logic;                    -- a new acquisition begins
    adc_convert : out std_logic;                    -- the converter samples on this clock
    adc_code    : in  std_logic_vector(13 downto 0) -- the code, on the clock after
  );
end entity;

architecture rtl of kivo_adc_controller is
  constant lane_words : positive := 2**(mem_addr_bits - 2);
  type lane_t is array (0 to lane_words - 1) of std_logic_vector(7 downto 0);
  type control_t is array (0 to 7) of std_logic_vector(7 downto 0);
  type bytes_t is array (0 to 3) of std_logic_vector(7 downto 0);
  signal lane0, lane1, lane2, lane3 : lane_t := (others => (others => '0'));

  signal controls   : control_t := (others => (others => '0'));
  signal channel    : natural range 0 to 7 := 0;
  signal start_len  : bytes_t := (others => (others => '0'));   -- offsets 12..14 as written
  signal start_addr : bytes_t := (others => (others => '0'));   -- offsets 8..11
  signal running    : std_logic := '0';
  signal remaining  : unsigned(31 downto 0) := (others => '0');
  signal latched    : unsigned(31 downto 0) := (others => '0');
  signal word_addr  : unsigned(31 downto 0) := (others => '0');  -- of the next word stored
  signal timer      : natural range 0 to word_clocks - 1 := 0;
  signal first_code : std_logic_vector(13 downto 0) := (others => '0');
  signal holding    : std_logic := '0';
  signal mem_q      : bytes_t;
  signal host_lane  : natural range 0 to 3 := 0;

  function be_word(b : bytes_t) return unsigned is
    variable v : std_logic_vector(31 downto 0);
  begin
    v := b(0) & b(1) & b(2) & b(3);
    return unsigned(v);
  end function;
begin
  adc_channel <= std_logic_vector(to_unsigned(channel, 3));
  adc_control <= controls(channel);
  adc_convert <= '1' when running = '1' and (timer = word_clocks - 3 or timer = word_clocks - 2) else '0';
  mem_wait <= holding;

  process (clk)
    variable o : natural;
    variable word_bytes : bytes_t;
    variable at : unsigned(31 downto 0);
    variable len : unsigned(31 downto 0);
  begin
    if rising_edge(clk) then
      adc_restart <= '0';
      if rst = '1' then
        controls <= (others => (others => '0'));
        channel <= 0;
        running <= '0';
        remaining <= (others => '0');
        timer <= 0;
      else
        if running = '1' then
          if timer = word_clocks - 2 then
            first_code <= adc_code;
          end if;
          if timer = word_clocks - 1 then
            timer <= 0;
            word_bytes(0) := "00" & first_code(13 downto 8);
            word_bytes(1) := first_code(7 downto 0);
            word_bytes(2) := "00" & adc_code(13 downto 8);
            word_bytes(3) := adc_code(7 downto 0);
            -- Each byte to the lane of its own address: a start address need not be aligned.
            for j in 0 to 3 loop
              at := word_addr + j - unsigned(mem_base);
              if at < 2**mem_addr_bits then
                case to_integer(at(1 downto 0)) is
                  when 0 => lane0(to_integer(at(mem_addr_bits - 1 downto 2))) <= word_bytes(j);
                  when 1 => lane1(to_integer(at(mem_addr_bits - 1 downto 2))) <= word_bytes(j);
                  when 2 => lane2(to_integer(at(mem_addr_bits - 1 downto 2))) <= word_bytes(j);
                  when others => lane3(to_integer(at(mem_addr_bits - 1 downto 2))) <= word_bytes(j);
                end case;
              end if;
            end loop;
            word_addr <= word_addr + 4;
            remaining <= remaining - 1;
            if remaining = 1 then
              running <= '0';
            end if;
          else
            timer <= timer + 1;
          end if;
        end if;

        if reg_sel = '1' and we = '1' then
          o := to_integer(unsigned(addr(3 downto 0)));
          if o <= 7 then
            controls(o) <= wdata;
            channel <= o;
          elsif o <= 11 then
            start_addr(o - 8) <= wdata;
          elsif o <= 14 then
            start_len(o - 12) <= wdata;
          else
            len := be_word((start_len(0), start_len(1), start_len(2), wdata));
            word_addr <= be_word(start_addr);
            remaining <= len;
            timer <= 0;
            adc_restart <= '1';
            if len /= 0 then
              running <= '1';
            else
              running <= '0';
            end if;
          end if;
        end if;
      end if;

      -- Host side of the memory.
      if mem_sel = '1' and we = '1' then
        at := unsigned(addr) - unsigned(mem_base);
        case to_integer(at(1 downto 0)) is
          when 0 => lane0(to_integer(at(mem_addr_bits - 1 downto 2))) <= wdata;
          when 1 => lane1(to_integer(at(mem_addr_bits - 1 downto 2))) <= wdata;
          when 2 => lane2(to_integer(at(mem_addr_bits - 1 downto 2))) <= wdata;
          when others => lane3(to_integer(at(mem_addr_bits - 1 downto 2))) <= wdata;
        end case;
      end if;
    end if;
  end process;

  -- Reads: the memory on every clock of a held read, so that it picks up the words the
  -- acquisition stores meanwhile.
  process (clk)
    variable at : unsigned(31 downto 0);
  begin
    if rising_edge(clk) then
      if (re = '1' and mem_sel = '1') or holding = '1' then
        at := unsigned(addr) - unsigned(mem_base);
        mem_q <= (lane0(to_integer(at(mem_addr_bits - 1 downto 2))), lane1(to_integer(at(mem_addr_bits - 1 downto 2))),
                  lane2(to_integer(at(mem_addr_bits - 1 downto 2))), lane3(to_integer(at(mem_addr_bits - 1 downto 2))));
      end if;
      if re = '1' and mem_sel = '1' then
        host_lane <= to_integer(at(1 downto 0));
        holding <= running;
      elsif running = '0' then
        holding <= '0';
      end if;
      if re = '1' and reg_sel = '1' then
        case to_integer(unsigned(addr(3 downto 0))) is
          when 0 =>
            latched <= remaining;
            reg_rdata <= std_logic_vector(remaining(31 downto 24));
          when 1 => reg_rdata <= std_logic_vector(latched(23 downto 16));
          when 2 => reg_rdata <= std_logic_vector(latched(15 downto 8));
          when 3 => reg_rdata <= std_logic_vector(latched(7 downto 0));
          when others => reg_rdata <= x"00";
        end case;
      end if;
    end if;
  end process;
  mem_rdata <= mem_q(host_lane);
end architecture;
